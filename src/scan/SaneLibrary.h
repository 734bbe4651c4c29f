#pragma once

#include <sane/sane.h>

#include <string>

// libsane, the scanner access library, loaded with dlopen on first use so that the program
// starts and runs on a machine without it. Get answers the process's one loaded and
// initialised library, or null when it cannot be loaded or sane_init fails; the outcome is
// remembered until Shutdown, which calls sane_exit (after every device handle is closed).
// The entry points are the library's own; a handle is used from one thread at a time.
class SaneLibrary {
public:
    static SaneLibrary* Get();
    static void Shutdown();
    // The library file to load (the system's libsane.so.1 unless set); takes effect at the
    // next Get after Shutdown.
    static void SetLibraryName(const std::string& name);

    // The text of a status, in the library's words.
    std::string StatusText(SANE_Status status) const;

    SANE_Status (*init)(SANE_Int*, SANE_Auth_Callback) = nullptr;
    void (*exit)() = nullptr;
    SANE_Status (*get_devices)(const SANE_Device***, SANE_Bool) = nullptr;
    SANE_Status (*open)(SANE_String_Const, SANE_Handle*) = nullptr;
    void (*close)(SANE_Handle) = nullptr;
    const SANE_Option_Descriptor* (*get_option_descriptor)(SANE_Handle, SANE_Int) = nullptr;
    SANE_Status (*control_option)(SANE_Handle, SANE_Int, SANE_Action, void*, SANE_Int*) = nullptr;
    SANE_Status (*get_parameters)(SANE_Handle, SANE_Parameters*) = nullptr;
    SANE_Status (*start)(SANE_Handle) = nullptr;
    SANE_Status (*read)(SANE_Handle, SANE_Byte*, SANE_Int, SANE_Int*) = nullptr;
    void (*cancel)(SANE_Handle) = nullptr;
    SANE_String_Const (*strstatus)(SANE_Status) = nullptr;

private:
    SaneLibrary() = default;
    bool Load(const std::string& name);

    void* m_library = nullptr;
};
