// The stand-in source manager: a shared library named libtwaindsm.so that exports DSM_Entry
// and plays a source manager with one source behind it, as the test's script says. A triplet
// sent out of turn fails with TWCC_SEQERROR.

#include "scan/dsm/StandInDsmControl.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <utility>

using standin::Image;
using standin::State;

namespace {

State& S()
{
    static State state;
    return state;
}

TW_IDENTITY& SourceIdentity()
{
    static TW_IDENTITY identity{};
    return identity;
}

// The source's identity, as the manager fills it in.
void Identify(TW_MEMREF data)
{
    auto* identity = static_cast<TW_IDENTITY*>(data);
    *identity = TW_IDENTITY{};
    identity->Id = 7;
    std::strcpy(identity->ProductName, "Stand-in Scanner");
}

TW_UINT16 Fail(TW_UINT16 cc)
{
    S().condition = cc;
    return TWRC_FAILURE;
}

// Enabled with an image pending and none under way.
bool Ready()
{
    return S().level == 5 && S().pending > 0 && !S().transferring;
}

// Starts the transfer of an image with its scripted result.
TW_UINT16 Start(const Image& image)
{
    if (image.result == TWRC_FAILURE)
        return Fail(TWCC_OPERATIONERROR);
    S().transferring = true;
    S().rowsSent = 0;
    return image.result;
}

// A native transfer hands over a heap block with the bitmap, a file transfer writes a bitmap
// file where the program asked.
TW_UINT16 Transfer(const Image& image, bool native, TW_MEMREF data)
{
    if (const TW_UINT16 result = Start(image); result != TWRC_XFERDONE)
        return result;
    std::vector<std::uint8_t> dib = standin::MakeDib(image);
    if (native) {
        const std::size_t size = image.truncated ? 40 + (dib.size() - 40) / 2 : dib.size();
        void* block = std::malloc(size);
        std::memcpy(block, dib.data(), size);
        *static_cast<TW_HANDLE*>(data) = block;
        return TWRC_XFERDONE;
    }
    std::vector<std::uint8_t> file(14, 0);
    file[0] = 'B';
    file[1] = 'M';
    standin::Put32(file, 2, static_cast<std::uint32_t>(14 + dib.size()));
    standin::Put32(file, 10, 14 + 40 + (image.bits <= 8 ? 4u << image.bits : 0u));
    file.insert(file.end(), dib.begin(), dib.end());
    std::ofstream out(S().fileNameSet, std::ios::binary);
    if (!out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size())))
        return Fail(TWCC_FILEWRITEERROR);
    return TWRC_XFERDONE;
}

TW_UINT16 Memory(const Image& image, TW_IMAGEMEMXFER* strip)
{
    State& s = S();
    if (!s.transferring) {
        if (const TW_UINT16 result = Start(image); result != TWRC_XFERDONE)
            return result;
    }
    const std::uint32_t stride = standin::Stride(image.width, image.bits);
    if (!strip->Memory.TheMem || strip->Memory.Length < stride)
        return Fail(TWCC_BADVALUE);
    const std::uint32_t rows = std::min({s.memRowsPerStrip, strip->Memory.Length / stride,
                                         std::uint32_t(image.height) - s.rowsSent});
    auto* out = static_cast<std::uint8_t*>(strip->Memory.TheMem);
    for (std::uint32_t r = 0; r < rows; ++r)
        for (std::uint32_t c = 0; c < stride; ++c)
            out[std::size_t(r) * stride + c] = standin::PixelByte(image, s.rowsSent + r, c);
    strip->Compression = TWCP_NONE;
    strip->BytesPerRow = stride;
    strip->Columns = static_cast<TW_UINT32>(image.width);
    strip->Rows = rows + s.memExtraRowsClaimed;
    strip->XOffset = 0;
    strip->YOffset = s.rowsSent;
    strip->BytesWritten = rows * stride;
    s.rowsSent += rows;
    return s.rowsSent >= std::uint32_t(image.height) ? TWRC_XFERDONE : TWRC_SUCCESS;
}

constexpr std::uint64_t Key(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg)
{
    return std::uint64_t(dg) << 32 | std::uint32_t(dat) << 16 | msg;
}

#define NEED(condition)                                                                            \
    if (!(condition))                                                                              \
    return Fail(TWCC_SEQERROR)

TW_UINT16 Dispatch(TW_IDENTITY* origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data)
{
    State& s = S();
    if (s.failArmed && s.fail.dg == dg && s.fail.dat == dat && s.fail.msg == msg) {
        s.condition = s.failCondition;
        return s.failResult;
    }
    const Image* image =
        s.current < static_cast<int>(s.images.size()) ? &s.images[std::size_t(s.current)] : nullptr;
    switch (Key(dg, dat, msg)) {
    case Key(DG_CONTROL, DAT_STATUS, MSG_GET):
        static_cast<TW_STATUS*>(data)->ConditionCode = std::exchange(s.condition, TWCC_SUCCESS);
        return TWRC_SUCCESS;
    case Key(DG_CONTROL, DAT_PARENT, MSG_OPENDSM):
        NEED(s.level == 2 && origin);
        s.appIdentity = *origin;
        origin->Id = 1;
        s.level = 3;
        return TWRC_SUCCESS;
    case Key(DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM):
        NEED(s.level == 3);
        s.level = 2;
        return TWRC_SUCCESS;
    case Key(DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT):
        NEED(s.level >= 3);
        if (!s.hasDefaultSource)
            return Fail(TWCC_NODS);
        Identify(data);
        return TWRC_SUCCESS;
    case Key(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT):
        NEED(s.level >= 3);
        if (s.userSelectResult == TWRC_SUCCESS)
            Identify(data);
        return s.userSelectResult;
    case Key(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS): {
        NEED(s.level == 3);
        if (!s.hasDefaultSource)
            return Fail(TWCC_NODS);
        Identify(data);
        SourceIdentity() = *static_cast<TW_IDENTITY*>(data);
        s.level = 4;
        return TWRC_SUCCESS;
    }
    case Key(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS):
        NEED(s.level == 4);
        s.level = 3;
        s.callback = nullptr;
        return TWRC_SUCCESS;
    case Key(DG_CONTROL, DAT_CALLBACK, MSG_REGISTER_CALLBACK):
        NEED(s.level >= 4);
        if (!s.supportsCallback)
            return Fail(TWCC_BADPROTOCOL);
        s.callback = static_cast<TW_CALLBACK*>(data)->CallBackProc;
        return TWRC_SUCCESS;
    case Key(DG_CONTROL, DAT_CAPABILITY, MSG_SET): {
        NEED(s.level == 4);
        const auto* cap = static_cast<TW_CAPABILITY*>(data);
        if (cap->Cap != ICAP_XFERMECH || cap->ConType != TWON_ONEVALUE || !cap->hContainer)
            return Fail(TWCC_BADVALUE);
        TW_ONEVALUE one;
        std::memcpy(&one, cap->hContainer, sizeof one);
        if (one.ItemType != TWTY_UINT16)
            return Fail(TWCC_BADVALUE);
        s.xferMech = one.Item;
        return TWRC_SUCCESS;
    }
    case Key(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS):
        NEED(s.level == 4);
        s.showUI = static_cast<TW_USERINTERFACE*>(data)->ShowUI;
        s.level = 5;
        s.pending = static_cast<int>(s.images.size());
        s.current = 0;
        s.transferring = false;
        if (s.readyInsideEnable)
            StandInDsm_Announce(MSG_XFERREADY);
        return TWRC_SUCCESS;
    case Key(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS):
        NEED(s.level == 5 && !s.transferring);
        s.level = 4;
        return TWRC_SUCCESS;
    case Key(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT):
        NEED(s.level == 5);
        if (s.eventAnswers.empty())
            return TWRC_NOTDSEVENT;
        static_cast<TW_EVENT*>(data)->TWMessage = s.eventAnswers.front();
        s.eventAnswers.pop_front();
        return TWRC_DSEVENT;
    case Key(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER):
        NEED(s.transferring);
        s.transferring = false;
        ++s.current;
        static_cast<TW_PENDINGXFERS*>(data)->Count = static_cast<TW_UINT16>(--s.pending);
        return TWRC_SUCCESS;
    case Key(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET):
        NEED(Ready());
        s.pending = 0;
        static_cast<TW_PENDINGXFERS*>(data)->Count = 0;
        return TWRC_SUCCESS;
    case Key(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET): {
        NEED(Ready());
        auto* setup = static_cast<TW_SETUPFILEXFER*>(data);
        *setup = TW_SETUPFILEXFER{};
        std::snprintf(setup->FileName, sizeof setup->FileName, "%s/image%d.bmp",
                      s.fileFolder.c_str(), s.current + 1);
        setup->Format = TWFF_BMP;
        return TWRC_SUCCESS;
    }
    case Key(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET): {
        NEED(Ready());
        const auto* setup = static_cast<TW_SETUPFILEXFER*>(data);
        s.fileNameSet.assign(setup->FileName, strnlen(setup->FileName, 256));
        s.fileFormatSet = setup->Format;
        return TWRC_SUCCESS;
    }
    case Key(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET):
        NEED(Ready());
        *static_cast<TW_SETUPMEMXFER*>(data) = {16, 1u << 20, 64};
        return TWRC_SUCCESS;
    case Key(DG_IMAGE, DAT_IMAGEINFO, MSG_GET): {
        NEED(s.level == 5 && s.pending > 0 && image);
        auto* info = static_cast<TW_IMAGEINFO*>(data);
        *info = TW_IMAGEINFO{};
        info->ImageWidth = image->width;
        info->ImageLength = image->height;
        info->SamplesPerPixel = image->bits == 24 ? 3 : 1;
        info->BitsPerPixel = static_cast<TW_INT16>(image->bits);
        info->PixelType = image->bits == 24 ? TWPT_RGB : TWPT_GRAY;
        info->Compression = TWCP_NONE;
        return TWRC_SUCCESS;
    }
    case Key(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET):
    case Key(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET):
        NEED(Ready() && image);
        return Transfer(*image, dat == DAT_IMAGENATIVEXFER, data);
    case Key(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET):
        NEED(s.level == 5 && s.pending > 0 && image);
        return Memory(*image, static_cast<TW_IMAGEMEMXFER*>(data));
    default:
        return Fail(TWCC_BADPROTOCOL);
    }
}

} // namespace

extern "C" TW_UINT16 DSM_Entry(TW_IDENTITY* origin, TW_IDENTITY* /*dest*/, TW_UINT32 dg,
                               TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data)
{
    const TW_UINT16 result = Dispatch(origin, dg, dat, msg, data);
    S().calls.push_back({dg, dat, msg});
    return result;
}

extern "C" State* StandInDsm_State()
{
    return &S();
}

extern "C" void StandInDsm_Reset()
{
    S() = State{};
    SourceIdentity() = TW_IDENTITY{};
}

extern "C" bool StandInDsm_Announce(TW_UINT16 msg)
{
    if (!S().callback)
        return false;
    auto proc = reinterpret_cast<DSMENTRYPROC>(S().callback);
    proc(&SourceIdentity(), &S().appIdentity, DG_CONTROL, DAT_NULL, msg, nullptr);
    return true;
}
