// The stand-in source manager: a shared library named libtwaindsm.so that exports DSM_Entry
// and plays a source manager with one source behind it, as the test's script says.

#include "scan/dsm/StandInDsmControl.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

using standin::Call;
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

void FillSourceIdentity(TW_IDENTITY* identity)
{
    std::memset(identity, 0, sizeof *identity);
    identity->Id = 7;
    identity->ProtocolMajor = 1;
    identity->ProtocolMinor = 9;
    identity->SupportedGroups = DG_CONTROL | DG_IMAGE;
    std::strcpy(identity->Manufacturer, "Stand-in");
    std::strcpy(identity->ProductFamily, "Stand-in");
    std::strcpy(identity->ProductName, "Stand-in Scanner");
}

TW_UINT16 Fail(TW_UINT16 cc)
{
    S().condition = cc;
    return TWRC_FAILURE;
}

const Image* CurrentImage()
{
    State& s = S();
    if (s.current < 0 || s.current >= static_cast<int>(s.images.size()))
        return nullptr;
    return &s.images[static_cast<std::size_t>(s.current)];
}

// Ready to transfer: enabled, images pending, none under way.
bool TransferReady()
{
    return S().enabled && S().pending > 0 && !S().transferring;
}

// Starts the transfer of the current image with its scripted result.
TW_UINT16 StartTransfer(const Image& image)
{
    if (image.result == TWRC_XFERDONE || image.result == TWRC_CANCEL)
        S().transferring = true;
    if (image.result == TWRC_FAILURE)
        S().condition = TWCC_OPERATIONERROR;
    return image.result;
}

TW_UINT16 Native(TW_MEMREF data)
{
    if (!TransferReady() || !data)
        return Fail(TWCC_SEQERROR);
    const Image* image = CurrentImage();
    if (!image)
        return Fail(TWCC_BUMMER);
    TW_UINT16 result = StartTransfer(*image);
    if (result != TWRC_XFERDONE)
        return result;
    std::vector<std::uint8_t> dib = standin::MakeDib(*image);
    std::size_t size = image->truncated ? 40 + (dib.size() - 40) / 2 : dib.size();
    void* block = std::malloc(size);
    if (!block)
        return Fail(TWCC_LOWMEMORY);
    std::memcpy(block, dib.data(), size);
    *static_cast<TW_HANDLE*>(data) = block;
    return result;
}

TW_UINT16 File()
{
    if (!TransferReady())
        return Fail(TWCC_SEQERROR);
    const Image* image = CurrentImage();
    if (!image)
        return Fail(TWCC_BUMMER);
    TW_UINT16 result = StartTransfer(*image);
    if (result != TWRC_XFERDONE)
        return result;
    std::vector<std::uint8_t> dib = standin::MakeDib(*image);
    std::vector<std::uint8_t> file(14, 0);
    file[0] = 'B';
    file[1] = 'M';
    file.resize(14 + dib.size());
    standin::Put32(file, 2, static_cast<std::uint32_t>(file.size()));
    standin::Put32(file, 10, 14 + 40 + (image->bits <= 8 ? 4u << image->bits : 0u));
    std::memcpy(file.data() + 14, dib.data(), dib.size());
    std::FILE* f = std::fopen(S().fileNameSet.c_str(), "wb");
    if (!f)
        return Fail(TWCC_FILEWRITEERROR);
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    S().filesWritten.push_back(S().fileNameSet);
    return result;
}

TW_UINT16 Memory(TW_IMAGEMEMXFER* strip)
{
    State& s = S();
    if (!strip || !s.enabled || s.pending <= 0)
        return Fail(TWCC_SEQERROR);
    const Image* image = CurrentImage();
    if (!image)
        return Fail(TWCC_BUMMER);
    if (!s.transferring) {
        TW_UINT16 result = StartTransfer(*image);
        if (result != TWRC_XFERDONE)
            return result;
        s.rowsSent = 0;
    }
    s.bufferFlagsSeen = strip->Memory.Flags;
    std::uint32_t stride = standin::Stride(image->width, image->bits);
    std::uint32_t height = static_cast<std::uint32_t>(image->height);
    if (!strip->Memory.TheMem || strip->Memory.Length < stride)
        return Fail(TWCC_BADVALUE);
    std::uint32_t rows = std::min(s.memRowsPerStrip, strip->Memory.Length / stride);
    rows = std::min(rows, height - s.rowsSent);
    auto* out = static_cast<std::uint8_t*>(strip->Memory.TheMem);
    for (std::uint32_t r = 0; r < rows; ++r)
        for (std::uint32_t c = 0; c < stride; ++c)
            out[std::size_t(r) * stride + c] = standin::PixelByte(*image, s.rowsSent + r, c);
    strip->Compression = TWCP_NONE;
    strip->BytesPerRow = stride;
    strip->Columns = static_cast<TW_UINT32>(image->width);
    strip->Rows = rows + s.memExtraRowsClaimed;
    strip->XOffset = 0;
    strip->YOffset = s.rowsSent;
    strip->BytesWritten = rows * stride;
    s.rowsSent += rows;
    return s.rowsSent >= height ? TWRC_XFERDONE : TWRC_SUCCESS;
}

TW_UINT16 Dispatch(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                   TW_UINT16 msg, TW_MEMREF data)
{
    State& s = S();
    if (s.failArmed && s.failDg == dg && s.failDat == dat && s.failMsg == msg) {
        s.condition = s.failCondition;
        return s.failResult;
    }
    if (dg == DG_CONTROL && dat == DAT_STATUS && msg == MSG_GET) {
        if (!data)
            return Fail(TWCC_BADVALUE);
        static_cast<TW_STATUS*>(data)->ConditionCode = s.condition;
        s.condition = TWCC_SUCCESS;
        return TWRC_SUCCESS;
    }
    if (dg == DG_CONTROL) {
        switch (dat) {
        case DAT_PARENT:
            if (msg == MSG_OPENDSM) {
                if (s.dsmOpen || !origin)
                    return Fail(TWCC_SEQERROR);
                s.appIdentity = *origin;
                origin->Id = 1;
                s.dsmOpen = true;
                return TWRC_SUCCESS;
            }
            if (msg == MSG_CLOSEDSM) {
                if (!s.dsmOpen || s.sourceOpen)
                    return Fail(TWCC_SEQERROR);
                s.dsmOpen = false;
                return TWRC_SUCCESS;
            }
            break;
        case DAT_IDENTITY: {
            auto* identity = static_cast<TW_IDENTITY*>(data);
            if (!s.dsmOpen || !identity)
                return Fail(TWCC_SEQERROR);
            switch (msg) {
            case MSG_GETDEFAULT:
                if (!s.hasDefaultSource)
                    return Fail(TWCC_NODS);
                FillSourceIdentity(identity);
                return TWRC_SUCCESS;
            case MSG_USERSELECT:
                if (s.userSelectResult == TWRC_SUCCESS)
                    FillSourceIdentity(identity);
                return s.userSelectResult;
            case MSG_OPENDS:
                if (s.sourceOpen)
                    return Fail(TWCC_SEQERROR);
                if (!s.hasDefaultSource)
                    return Fail(TWCC_NODS);
                s.productNameAsked.assign(identity->ProductName,
                                          strnlen(identity->ProductName, 34));
                FillSourceIdentity(identity);
                SourceIdentity() = *identity;
                s.sourceOpen = true;
                return TWRC_SUCCESS;
            case MSG_CLOSEDS:
                if (!s.sourceOpen || s.enabled)
                    return Fail(TWCC_SEQERROR);
                s.sourceOpen = false;
                s.callback = nullptr;
                return TWRC_SUCCESS;
            default:
                break;
            }
            break;
        }
        case DAT_CALLBACK:
            if (msg != MSG_REGISTER_CALLBACK || !dest || !data)
                break;
            if (!s.sourceOpen)
                return Fail(TWCC_SEQERROR);
            if (!s.supportsCallback)
                return Fail(TWCC_BADPROTOCOL);
            s.callback = static_cast<TW_CALLBACK*>(data)->CallBackProc;
            return TWRC_SUCCESS;
        case DAT_CAPABILITY: {
            auto* cap = static_cast<TW_CAPABILITY*>(data);
            if (msg != MSG_SET || !cap)
                break;
            if (!s.sourceOpen || s.enabled)
                return Fail(TWCC_SEQERROR);
            if (cap->ConType != TWON_ONEVALUE || !cap->hContainer)
                return Fail(TWCC_BADVALUE);
            TW_ONEVALUE one;
            std::memcpy(&one, cap->hContainer, sizeof one);
            if (cap->Cap == ICAP_XFERMECH) {
                s.mechSet = true;
                s.xferMech = one.Item;
                s.capItemType = one.ItemType;
                return TWRC_SUCCESS;
            }
            return Fail(TWCC_CAPUNSUPPORTED);
        }
        case DAT_USERINTERFACE: {
            auto* ui = static_cast<TW_USERINTERFACE*>(data);
            if (!ui)
                break;
            if (msg == MSG_ENABLEDS) {
                if (!s.sourceOpen || s.enabled)
                    return Fail(TWCC_SEQERROR);
                s.showUI = ui->ShowUI;
                s.enabled = true;
                s.pending = static_cast<int>(s.images.size());
                s.current = 0;
                s.transferring = false;
                if (s.readyInsideEnable)
                    StandInDsm_Announce(MSG_XFERREADY);
                return s.enableResult;
            }
            if (msg == MSG_DISABLEDS) {
                if (!s.enabled || s.transferring)
                    return Fail(TWCC_SEQERROR);
                s.enabled = false;
                return TWRC_SUCCESS;
            }
            break;
        }
        case DAT_EVENT: {
            auto* event = static_cast<TW_EVENT*>(data);
            if (msg != MSG_PROCESSEVENT || !event)
                break;
            if (!s.enabled)
                return Fail(TWCC_SEQERROR);
            if (s.eventAnswers.empty())
                return TWRC_NOTDSEVENT;
            event->TWMessage = s.eventAnswers.front();
            s.eventAnswers.pop_front();
            return TWRC_DSEVENT;
        }
        case DAT_PENDINGXFERS: {
            auto* pending = static_cast<TW_PENDINGXFERS*>(data);
            if (!pending)
                break;
            if (msg == MSG_ENDXFER) {
                if (!s.transferring)
                    return Fail(TWCC_SEQERROR);
                s.transferring = false;
                ++s.current;
                --s.pending;
                pending->Count = static_cast<TW_UINT16>(s.pending);
                return TWRC_SUCCESS;
            }
            if (msg == MSG_RESET) {
                if (!TransferReady())
                    return Fail(TWCC_SEQERROR);
                s.pending = 0;
                pending->Count = 0;
                return TWRC_SUCCESS;
            }
            break;
        }
        case DAT_SETUPFILEXFER: {
            auto* setup = static_cast<TW_SETUPFILEXFER*>(data);
            if (!setup || !TransferReady())
                return Fail(TWCC_SEQERROR);
            if (msg == MSG_GET) {
                std::memset(setup, 0, sizeof *setup);
                std::snprintf(setup->FileName, sizeof setup->FileName, "%s/image%d.bmp",
                              s.fileFolder.c_str(), s.current + 1);
                setup->Format = s.fileFormat;
                return TWRC_SUCCESS;
            }
            if (msg == MSG_SET) {
                s.fileNameSet.assign(setup->FileName, strnlen(setup->FileName, 256));
                s.fileFormatSet = setup->Format;
                return TWRC_SUCCESS;
            }
            break;
        }
        case DAT_SETUPMEMXFER: {
            auto* setup = static_cast<TW_SETUPMEMXFER*>(data);
            if (msg != MSG_GET || !setup)
                break;
            if (!TransferReady())
                return Fail(TWCC_SEQERROR);
            setup->MinBufSize = s.memMin;
            setup->MaxBufSize = s.memMax;
            setup->Preferred = s.memPreferred;
            return TWRC_SUCCESS;
        }
        default:
            break;
        }
        return Fail(TWCC_BADPROTOCOL);
    }
    if (dg == DG_IMAGE && msg == MSG_GET) {
        switch (dat) {
        case DAT_IMAGENATIVEXFER:
            return Native(data);
        case DAT_IMAGEFILEXFER:
            return File();
        case DAT_IMAGEMEMXFER:
            return Memory(static_cast<TW_IMAGEMEMXFER*>(data));
        case DAT_IMAGEINFO: {
            auto* info = static_cast<TW_IMAGEINFO*>(data);
            const Image* image = CurrentImage();
            if (!info || !image || !s.enabled || s.pending <= 0)
                return Fail(TWCC_SEQERROR);
            std::memset(info, 0, sizeof *info);
            info->ImageWidth = image->width;
            info->ImageLength = image->height;
            info->SamplesPerPixel = image->bits == 24 ? 3 : 1;
            info->BitsPerPixel = static_cast<TW_INT16>(image->bits);
            info->PixelType = image->bits == 24 ? TWPT_RGB : TWPT_GRAY;
            info->Compression = TWCP_NONE;
            return TWRC_SUCCESS;
        }
        default:
            break;
        }
    }
    return Fail(TWCC_BADPROTOCOL);
}

} // namespace

extern "C" TW_UINT16 DSM_Entry(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                               TW_UINT16 msg, TW_MEMREF data)
{
    TW_UINT16 result = Dispatch(origin, dest, dg, dat, msg, data);
    S().calls.push_back(Call{dg, dat, msg, dest != nullptr, result});
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
