#pragma once

#include <memory>
#include <string>
#include <thread>

#include "image/CDib.h"

// A picture read on a thread of its own before anyone asks for it. The desktop program starts
// reading the file named on its command line while it builds its windows, on the second core,
// and the document that opens the file takes the picture instead of reading it again.
//
// The read is quiet. Whatever goes wrong (the read fails, the file is of a kind that asks a
// question first, another file is asked for, or the file changed in the meantime), Take gives
// nothing and the caller reads the file itself, with the messages that brings.
class PictureReadAhead {
public:
    PictureReadAhead() = default;
    // Waits for the read to end.
    ~PictureReadAhead();
    PictureReadAhead(const PictureReadAhead&) = delete;
    PictureReadAhead& operator=(const PictureReadAhead&) = delete;

    // Starts reading path, unless it is a PDF, whose page and resolution are asked for first,
    // or not a regular file. Does nothing while a read is under way.
    void Start(const std::string& path);
    // The picture of path, once its read is done (waits for it); nothing when the read
    // failed, another file was read, or the file is no longer the one read. Either way the
    // read ahead is over.
    std::unique_ptr<CDib> Take(const std::string& path);

private:
    struct Identity;
    std::thread m_thread;
    std::unique_ptr<CDib> m_dib;
    // The file read, as it was when the read began; none when nothing is read ahead.
    std::shared_ptr<Identity> m_identity;
};
