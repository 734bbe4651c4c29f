#include "scan/SaneLibrary.h"

#include <dlfcn.h>
#include <memory>
#include <mutex>

namespace {

std::mutex s_mutex;
std::unique_ptr<SaneLibrary> s_library;
bool s_tried = false;
std::string s_name = "libsane.so.1";

template <typename F> bool Resolve(void* library, const char* symbol, F& target)
{
    target = reinterpret_cast<F>(::dlsym(library, symbol));
    return target != nullptr;
}

} // namespace

SaneLibrary* SaneLibrary::Get()
{
    std::lock_guard<std::mutex> lock(s_mutex);
    if (!s_tried) {
        s_tried = true;
        std::unique_ptr<SaneLibrary> library(new SaneLibrary);
        if (library->Load(s_name))
            s_library = std::move(library);
    }
    return s_library.get();
}

void SaneLibrary::Shutdown()
{
    std::lock_guard<std::mutex> lock(s_mutex);
    if (s_library)
        s_library->exit();
    // The library stays mapped: back ends it loaded may have left threads or handlers behind.
    s_library.reset();
    s_tried = false;
}

void SaneLibrary::SetLibraryName(const std::string& name)
{
    std::lock_guard<std::mutex> lock(s_mutex);
    s_name = name;
}

bool SaneLibrary::Load(const std::string& name)
{
    m_library = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_library)
        return false;
    const bool resolved =
        Resolve(m_library, "sane_init", init) && Resolve(m_library, "sane_exit", exit) &&
        Resolve(m_library, "sane_get_devices", get_devices) &&
        Resolve(m_library, "sane_open", open) && Resolve(m_library, "sane_close", close) &&
        Resolve(m_library, "sane_get_option_descriptor", get_option_descriptor) &&
        Resolve(m_library, "sane_control_option", control_option) &&
        Resolve(m_library, "sane_get_parameters", get_parameters) &&
        Resolve(m_library, "sane_start", start) && Resolve(m_library, "sane_read", read) &&
        Resolve(m_library, "sane_cancel", cancel) &&
        Resolve(m_library, "sane_strstatus", strstatus);
    SANE_Int version = 0;
    return resolved && init(&version, nullptr) == SANE_STATUS_GOOD;
}

std::string SaneLibrary::StatusText(SANE_Status status) const
{
    const char* text = strstatus ? strstatus(status) : nullptr;
    return text ? text : "Unknown status";
}
