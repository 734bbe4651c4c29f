#include "scan/support/StandIn.h"

#include <dlfcn.h>

#include <filesystem>
#include <stdexcept>

namespace {

struct Library {
    Library()
    {
        handle = ::dlopen(KURVO_STANDIN_DSM, RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            throw std::runtime_error(std::string("cannot load the stand-in: ") + ::dlerror());
        state = reinterpret_cast<standin::State* (*)()>(::dlsym(handle, "StandInDsm_State"));
        reset = reinterpret_cast<void (*)()>(::dlsym(handle, "StandInDsm_Reset"));
        announce = reinterpret_cast<bool (*)(TW_UINT16)>(::dlsym(handle, "StandInDsm_Announce"));
        if (!state || !reset || !announce)
            throw std::runtime_error("the stand-in lacks its control functions");
    }
    // Kept loaded for the whole run, so the script survives CTwain unloading its copy.
    void* handle = nullptr;
    standin::State* (*state)() = nullptr;
    void (*reset)() = nullptr;
    bool (*announce)(TW_UINT16) = nullptr;
};

Library& Lib()
{
    static Library library;
    return library;
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
}

void StandInTest::TearDown()
{
    SetUiServices(nullptr);
    CTwain::SetSettings(nullptr);
    CTwain::ResetAvailability();
    CTwain::SourceEvents().SetNotifier(nullptr);
    CTwain::SourceEvents().Clear();
}

void StandInTest::OfferImages(int count, std::int32_t width, std::int32_t height,
                              std::uint16_t bits)
{
    StandIn().images.clear();
    for (int i = 0; i < count; ++i) {
        standin::Image image;
        image.width = width;
        image.height = height;
        image.bits = bits;
        image.seed = static_cast<std::uint8_t>(17 * (i + 1));
        StandIn().images.push_back(image);
    }
}
