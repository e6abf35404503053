#pragma once

#include <QString>

// A fixed name for the pseudo-terminal, as a symbolic link: a unit started
// later with the same name takes it over (like a USB adapter plugged in again
// on the same device name), and a unit that ends removes it unless a later
// one has taken it.
class DeviceLink {
public:
    DeviceLink() = default;
    ~DeviceLink();
    DeviceLink(const DeviceLink &) = delete;
    DeviceLink &operator=(const DeviceLink &) = delete;

    // Points `path` at `target`, replacing in one step whatever was there.
    // False with errorString() on failure.
    bool create(const QString &path, const QString &target);
    QString errorString() const { return error_; }

private:
    QString path_;
    QString target_;
    QString error_;
};
