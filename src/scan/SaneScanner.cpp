#include "scan/SaneScanner.h"

#include "scan/SaneImageBuilder.h"
#include "scan/SaneLibrary.h"

#include <sane/saneopts.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace {

using Mode = SaneScanSettings::Mode;

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The device's word for a mode among the values of its mode option; empty when it has none.
std::string ModeValue(const SANE_Option_Descriptor* mode, Mode wanted)
{
    if (!mode || mode->constraint_type != SANE_CONSTRAINT_STRING_LIST)
        return {};
    static const char* const colour[] = {"color", "colour", "rgb", nullptr};
    static const char* const grey[] = {"gray", "grey", nullptr};
    static const char* const lineArt[] = {"lineart", "binary", "black & white", "bw", nullptr};
    const char* const* names = wanted == Mode::kColour ? colour
                               : wanted == Mode::kGrey ? grey
                                                       : lineArt;
    for (const SANE_String_Const* value = mode->constraint.string_list; *value; ++value)
        for (const char* const* name = names; *name; ++name)
            if (Lower(*value).rfind(*name, 0) == 0)
                return *value;
    return {};
}

bool IsSettable(const SANE_Option_Descriptor* d)
{
    return d && SANE_OPTION_IS_ACTIVE(d->cap) && SANE_OPTION_IS_SETTABLE(d->cap);
}

double FromWord(const SANE_Option_Descriptor* d, SANE_Word word)
{
    return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(word) : static_cast<double>(word);
}

bool DepthAllowed(const SANE_Option_Descriptor* d, int depth)
{
    if (!d)
        return false;
    if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST) {
        for (SANE_Int i = 1; i <= d->constraint.word_list[0]; ++i)
            if (d->constraint.word_list[i] == depth)
                return true;
        return false;
    }
    if (d->constraint_type == SANE_CONSTRAINT_RANGE)
        return depth >= d->constraint.range->min && depth <= d->constraint.range->max;
    return true;
}

} // namespace

std::string SaneDevice::Label() const
{
    std::string label = vendor;
    if (!model.empty())
        label += (label.empty() ? "" : " ") + model;
    return label.empty() ? name : label + " (" + name + ")";
}

SaneScanner::~SaneScanner()
{
    Close();
}

std::vector<SaneDevice> SaneScanner::Devices(std::string* error)
{
    std::vector<SaneDevice> devices;
    SaneLibrary* sane = SaneLibrary::Get();
    if (!sane) {
        if (error)
            *error = "The SANE scanner library (libsane) is not available.";
        return devices;
    }
    const SANE_Device** list = nullptr;
    const SANE_Status status = sane->get_devices(&list, SANE_FALSE);
    if (status != SANE_STATUS_GOOD) {
        if (error)
            *error = "The scanners could not be listed: " + sane->StatusText(status);
        return devices;
    }
    for (; list && *list; ++list) {
        const SANE_Device* d = *list;
        devices.push_back({d->name ? d->name : "", d->vendor ? d->vendor : "",
                           d->model ? d->model : "", d->type ? d->type : ""});
    }
    return devices;
}

bool SaneScanner::Open(const std::string& device)
{
    Close();
    m_device = device;
    m_error.clear();
    m_sane = SaneLibrary::Get();
    if (!m_sane) {
        m_error = "The scanner " + device +
                  " cannot be used: the SANE scanner library (libsane) is not available.";
        return false;
    }
    const SANE_Status status = m_sane->open(device.c_str(), &m_handle);
    if (status != SANE_STATUS_GOOD) {
        m_handle = nullptr;
        m_error = StatusMessage(status);
        return false;
    }
    return true;
}

void SaneScanner::Close()
{
    if (m_handle)
        m_sane->close(m_handle);
    m_handle = nullptr;
}

std::string SaneScanner::StatusMessage(SANE_Status status) const
{
    return "The scanner " + m_device + " reports: " + m_sane->StatusText(status);
}

int SaneScanner::FindOption(const char* name) const
{
    if (!m_handle)
        return -1;
    for (SANE_Int i = 1;; ++i) {
        const SANE_Option_Descriptor* d = m_sane->get_option_descriptor(m_handle, i);
        if (!d)
            return -1;
        if (d->name && std::string(d->name) == name)
            return i;
    }
}

bool SaneScanner::Control(int index, void* value)
{
    SANE_Int info = 0;
    const SANE_Status status =
        m_sane->control_option(m_handle, index, SANE_ACTION_SET_VALUE, value, &info);
    if (status != SANE_STATUS_GOOD) {
        const SANE_Option_Descriptor* d = m_sane->get_option_descriptor(m_handle, index);
        m_error = StatusMessage(status) + " (option " + (d && d->name ? d->name : "?") + ")";
        return false;
    }
    return true;
}

bool SaneScanner::SetString(int index, const std::string& value)
{
    const SANE_Option_Descriptor* d = m_sane->get_option_descriptor(m_handle, index);
    if (!IsSettable(d) || d->type != SANE_TYPE_STRING)
        return false;
    std::string buffer = value;
    buffer.resize(std::max<std::size_t>(static_cast<std::size_t>(d->size), value.size() + 1), '\0');
    return Control(index, buffer.data());
}

bool SaneScanner::SetNumber(int index, double value)
{
    const SANE_Option_Descriptor* d = m_sane->get_option_descriptor(m_handle, index);
    if (!IsSettable(d) || d->size != static_cast<SANE_Int>(sizeof(SANE_Word)) ||
        (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED && d->type != SANE_TYPE_BOOL))
        return false;
    if (d->constraint_type == SANE_CONSTRAINT_RANGE) {
        value = std::clamp(value, FromWord(d, d->constraint.range->min),
                           FromWord(d, d->constraint.range->max));
    } else if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST && d->constraint.word_list[0] > 0) {
        double best = FromWord(d, d->constraint.word_list[1]);
        for (SANE_Int i = 2; i <= d->constraint.word_list[0]; ++i) {
            const double v = FromWord(d, d->constraint.word_list[i]);
            if (std::fabs(v - value) < std::fabs(best - value))
                best = v;
        }
        value = best;
    }
    SANE_Word word = d->type == SANE_TYPE_FIXED  ? SANE_FIX(value)
                     : d->type == SANE_TYPE_BOOL ? (value != 0 ? SANE_TRUE : SANE_FALSE)
                                                 : static_cast<SANE_Word>(std::lround(value));
    return Control(index, &word);
}

double SaneScanner::GetNumber(int index) const
{
    const SANE_Option_Descriptor* d =
        index > 0 ? m_sane->get_option_descriptor(m_handle, index) : nullptr;
    if (!d || !SANE_OPTION_IS_ACTIVE(d->cap) ||
        d->size != static_cast<SANE_Int>(sizeof(SANE_Word)) ||
        (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED))
        return 0;
    SANE_Word word = 0;
    if (m_sane->control_option(m_handle, index, SANE_ACTION_GET_VALUE, &word, nullptr) !=
        SANE_STATUS_GOOD)
        return 0;
    return FromWord(d, word);
}

bool SaneScanner::SetOption(const std::string& name, const std::string& value)
{
    m_error.clear();
    const int index = FindOption(name.c_str());
    const SANE_Option_Descriptor* d =
        index > 0 ? m_sane->get_option_descriptor(m_handle, index) : nullptr;
    if (!IsSettable(d)) {
        m_error = "The scanner " + m_device + " has no option " + name + " that can be set now.";
        return false;
    }
    if (d->type == SANE_TYPE_STRING)
        return SetString(index, value);
    if (d->type == SANE_TYPE_BOOL)
        return SetNumber(index, value == "yes" || value == "true" || value == "1" ? 1 : 0);
    char* end = nullptr;
    const double number = std::strtod(value.c_str(), &end);
    if (end == value.c_str() || *end) {
        m_error = "The option " + name + " takes a number.";
        return false;
    }
    return SetNumber(index, number);
}

SaneCapabilities SaneScanner::Capabilities() const
{
    SaneCapabilities caps;
    if (!m_handle)
        return caps;
    const auto descriptor = [this](const char* name) {
        const int index = FindOption(name);
        return index > 0 ? m_sane->get_option_descriptor(m_handle, index) : nullptr;
    };
    const SANE_Option_Descriptor* mode = descriptor(SANE_NAME_SCAN_MODE);
    const SANE_Option_Descriptor* depth = descriptor(SANE_NAME_BIT_DEPTH);
    if (!ModeValue(mode, Mode::kColour).empty())
        caps.modes.push_back(Mode::kColour);
    const bool grey = !ModeValue(mode, Mode::kGrey).empty();
    if (grey)
        caps.modes.push_back(Mode::kGrey);
    if (!ModeValue(mode, Mode::kLineArt).empty() || (grey && DepthAllowed(depth, 1)))
        caps.modes.push_back(Mode::kLineArt);

    if (const SANE_Option_Descriptor* res = descriptor(SANE_NAME_SCAN_RESOLUTION)) {
        if (res->constraint_type == SANE_CONSTRAINT_RANGE) {
            caps.minResolution = FromWord(res, res->constraint.range->min);
            caps.maxResolution = FromWord(res, res->constraint.range->max);
        } else if (res->constraint_type == SANE_CONSTRAINT_WORD_LIST) {
            for (SANE_Int i = 1; i <= res->constraint.word_list[0]; ++i)
                caps.resolutions.push_back(FromWord(res, res->constraint.word_list[i]));
            if (!caps.resolutions.empty()) {
                caps.minResolution =
                    *std::min_element(caps.resolutions.begin(), caps.resolutions.end());
                caps.maxResolution =
                    *std::max_element(caps.resolutions.begin(), caps.resolutions.end());
            }
        }
    }
    const SANE_Option_Descriptor* brx = descriptor(SANE_NAME_SCAN_BR_X);
    const SANE_Option_Descriptor* bry = descriptor(SANE_NAME_SCAN_BR_Y);
    if (brx && bry && brx->unit == SANE_UNIT_MM && bry->unit == SANE_UNIT_MM &&
        brx->constraint_type == SANE_CONSTRAINT_RANGE &&
        bry->constraint_type == SANE_CONSTRAINT_RANGE) {
        caps.hasArea = true;
        caps.areaWidth = FromWord(brx, brx->constraint.range->max);
        caps.areaHeight = FromWord(bry, bry->constraint.range->max);
        caps.left = GetNumber(FindOption(SANE_NAME_SCAN_TL_X));
        caps.top = GetNumber(FindOption(SANE_NAME_SCAN_TL_Y));
        caps.right = GetNumber(FindOption(SANE_NAME_SCAN_BR_X));
        caps.bottom = GetNumber(FindOption(SANE_NAME_SCAN_BR_Y));
    }
    return caps;
}

bool SaneScanner::Apply(const SaneScanSettings& s)
{
    m_error.clear();
    if (!m_handle)
        return false;
    const int modeIndex = FindOption(SANE_NAME_SCAN_MODE);
    const SANE_Option_Descriptor* mode =
        modeIndex > 0 ? m_sane->get_option_descriptor(m_handle, modeIndex) : nullptr;
    std::string value = ModeValue(mode, s.mode);
    // Without a line-art mode, line art is one-bit grey.
    const bool oneBitGrey = s.mode == Mode::kLineArt && value.empty();
    if (oneBitGrey)
        value = ModeValue(mode, Mode::kGrey);
    if (!value.empty() && !SetString(modeIndex, value) && !m_error.empty())
        return false;
    const int depthIndex = FindOption(SANE_NAME_BIT_DEPTH);
    if (depthIndex > 0) {
        const int depth = oneBitGrey ? 1 : s.depth > 0 ? s.depth : 8;
        if ((oneBitGrey || s.mode != Mode::kLineArt) &&
            DepthAllowed(m_sane->get_option_descriptor(m_handle, depthIndex), depth) &&
            !SetNumber(depthIndex, depth) && !m_error.empty())
            return false;
    }
    if (s.resolution > 0) {
        const int index = FindOption(SANE_NAME_SCAN_RESOLUTION);
        if (index > 0 && !SetNumber(index, s.resolution) && !m_error.empty())
            return false;
    }
    if (s.right > s.left && s.bottom > s.top) {
        const std::pair<const char*, double> area[] = {{SANE_NAME_SCAN_TL_X, s.left},
                                                       {SANE_NAME_SCAN_TL_Y, s.top},
                                                       {SANE_NAME_SCAN_BR_X, s.right},
                                                       {SANE_NAME_SCAN_BR_Y, s.bottom}};
        for (const auto& [name, mm] : area) {
            const int index = FindOption(name);
            if (index > 0 && !SetNumber(index, mm) && !m_error.empty())
                return false;
        }
    }
    return true;
}

SaneScanResult SaneScanner::Scan(const std::function<void(double)>& progress,
                                 const std::atomic<bool>* cancel)
{
    SaneScanResult result;
    m_error.clear();
    if (!m_handle) {
        result.message = "No scanner is open.";
        return result;
    }
    const double resolution = GetNumber(FindOption(SANE_NAME_SCAN_RESOLUTION));
    const auto fail = [&](const std::string& message) {
        m_sane->cancel(m_handle);
        m_error = message;
        result.outcome = SaneScanResult::Outcome::kFailed;
        result.message = message;
        return result;
    };
    const auto cancelled = [&] {
        m_sane->cancel(m_handle);
        result.outcome = SaneScanResult::Outcome::kCancelled;
        result.message = "The scan was cancelled.";
        return result;
    };
    SaneImageBuilder builder;
    std::vector<SANE_Byte> buffer(std::size_t{1} << 18);
    int frame = 0;
    double reported = -2;
    for (;; ++frame) {
        SANE_Status status = m_sane->start(m_handle);
        if (status == SANE_STATUS_CANCELLED)
            return cancelled();
        if (status != SANE_STATUS_GOOD)
            return fail(StatusMessage(status));
        SANE_Parameters parameters{};
        status = m_sane->get_parameters(m_handle, &parameters);
        if (status != SANE_STATUS_GOOD)
            return fail(StatusMessage(status));
        if (!builder.BeginFrame(parameters))
            return fail("The scanner " + m_device + ": " + builder.Error());
        const std::uint64_t expected = builder.ExpectedFrameBytes();
        const int frames = builder.IsThreePass() ? 3 : 1;
        std::uint64_t got = 0;
        for (;;) {
            if (cancel && cancel->load())
                return cancelled();
            SANE_Int length = 0;
            status = m_sane->read(m_handle, buffer.data(), static_cast<SANE_Int>(buffer.size()),
                                  &length);
            if (status == SANE_STATUS_EOF)
                break;
            if (status == SANE_STATUS_CANCELLED)
                return cancelled();
            if (status != SANE_STATUS_GOOD)
                return fail(StatusMessage(status));
            builder.Append(buffer.data(), static_cast<std::size_t>(std::max(length, 0)));
            got += static_cast<std::uint64_t>(std::max(length, 0));
            if (progress) {
                // Fractions in steps of half a percent; -1 once while the length is unknown.
                const double done = expected == 0
                                        ? -1
                                        : (std::min(frame, frames - 1) +
                                           std::min(1.0, double(got) / double(expected))) /
                                              frames;
                if (done < 0 ? reported != -1 : done - reported >= 0.005) {
                    progress(done);
                    reported = done;
                }
            }
        }
        if (!builder.EndFrame())
            return fail("The scanner " + m_device + ": " + builder.Error());
        if (parameters.last_frame || frame >= 2)
            break;
    }
    // A scan ends with sane_cancel once its last frame is read.
    m_sane->cancel(m_handle);
    std::optional<DibBlock> dib = builder.Finish(resolution);
    if (!dib) {
        result.message = m_error = "The scanner " + m_device + ": " + builder.Error();
        return result;
    }
    result.outcome = SaneScanResult::Outcome::kDone;
    result.dib = std::move(*dib);
    return result;
}
