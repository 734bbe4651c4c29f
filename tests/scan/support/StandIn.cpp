#include "scan/support/StandIn.h"

#include <filesystem>
#include <stdexcept>

namespace {

const standin::Control& Lib()
{
    const standin::Control* control = standin::Loaded();
    if (!control)
        throw std::runtime_error("cannot load the stand-in source manager");
    return *control;
}

} // namespace

standin::State& StandIn()
{
    return *Lib().state();
}

bool StandInAnnounce(TW_UINT16 msg)
{
    return Lib().announce(msg);
}

std::string StandInFolder()
{
    return std::filesystem::path(KURVO_STANDIN_DSM).parent_path().string();
}

void StandInTest::SetUp()
{
    Lib().reset();
    m_settings.WriteString("Settings", "TwainDirectory", StandInFolder());
    CTwain::SetSettings(&m_settings);
    CTwain::ResetAvailability();
    CTwain::SourceEvents().Clear();
    CTwain::SourceEvents().SetNotifier(nullptr);
    SetUiServices(&m_ui);
    StandIn().fileFolder = m_files.Path().string();
}

void StandInTest::TearDown()
{
    SetUiServices(nullptr);
    CTwain::SetSettings(nullptr);
    CTwain::SourceEvents().SetNotifier(nullptr); // it may see the test's locals
}

void StandInTest::OfferImages(int count, std::int32_t width, std::int32_t height,
                              std::uint16_t bits)
{
    StandIn().images.clear();
    for (int i = 0; i < count; ++i)
        StandIn().images.push_back(
            {width, height, bits, TWRC_XFERDONE, static_cast<std::uint8_t>(17 * (i + 1))});
}

void StandInTest::AcquireAndAnnounce(TwainTransfers& twain)
{
    ASSERT_TRUE(twain.BeginAcquire());
    ASSERT_EQ(twain.GetState(), CTwain::kSourceEnabled);
    ASSERT_TRUE(StandInAnnounce(MSG_XFERREADY));
    twain.DispatchSourceEvents();
}
