#include "image/PictureReadAhead.h"

#include "image/PdfFile.h"

#include <sys/stat.h>

#include <system_error>

// What tells a file from its successor under the same name: device, inode, size and time of
// the last change, as stat gives them.
struct PictureReadAhead::Identity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec changed{};
    bool valid = false;

    static Identity Of(const std::string& path)
    {
        Identity id;
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            return id;
        id.device = st.st_dev;
        id.inode = st.st_ino;
        id.size = st.st_size;
        id.changed = st.st_mtim;
        id.valid = true;
        return id;
    }
    bool operator==(const Identity& o) const
    {
        return valid && o.valid && device == o.device && inode == o.inode && size == o.size &&
               changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

PictureReadAhead::~PictureReadAhead()
{
    if (m_thread.joinable())
        m_thread.join();
}

void PictureReadAhead::Start(const std::string& path)
{
    if (m_thread.joinable())
        return;
    m_dib.reset();
    m_identity.reset();
    auto identity = std::make_shared<Identity>(Identity::Of(path));
    if (!identity->valid || IsPdfFile(path))
        return;
    try {
        m_thread = std::thread([this, path, identity] {
            auto dib = std::make_unique<CDib>();
            // A file changed while it was read may have given a mixture of both.
            if (dib->LoadFile(path, true) && Identity::Of(path) == *identity)
                m_dib = std::move(dib);
        });
    } catch (const std::system_error&) {
        return; // no thread to spare: the file is read when it is asked for
    }
    m_identity = identity;
}

std::unique_ptr<CDib> PictureReadAhead::Take(const std::string& path)
{
    if (m_thread.joinable())
        m_thread.join();
    std::unique_ptr<CDib> dib = std::move(m_dib);
    const bool same = m_identity && Identity::Of(path) == *m_identity;
    m_identity.reset();
    return same ? std::move(dib) : nullptr;
}
