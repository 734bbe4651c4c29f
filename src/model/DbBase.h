#pragma once

// Root of the data base's object hierarchy.
class DbBase {
public:
    DbBase() = default;
    DbBase(const DbBase&) = delete;
    DbBase& operator=(const DbBase&) = delete;
    virtual ~DbBase() = default;
};
