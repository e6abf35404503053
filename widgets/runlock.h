#pragma once

#include <QApplication>
#include <QList>
#include <QWidget>
#include <functional>

// For the length of a tool's run: the navigation tree locked (through the
// shell's lockNavigation), the window's own controls disabled and, when the
// operator has nothing to do but wait, the busy pointer; all of it given back
// however the run ends.
class RunLock {
public:
    RunLock(std::function<void(bool)> lockNavigation, QList<QWidget *> controls, bool busyPointer)
        : lockNavigation_(std::move(lockNavigation)), controls_(std::move(controls)), busyPointer_(busyPointer)
    {
        set(true);
    }
    ~RunLock() { set(false); }
    RunLock(const RunLock &) = delete;
    RunLock &operator=(const RunLock &) = delete;

private:
    void set(bool on)
    {
        if (busyPointer_ && on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else if (busyPointer_)
            QApplication::restoreOverrideCursor();
        if (lockNavigation_)
            lockNavigation_(on);
        for (QWidget *w : std::as_const(controls_))
            w->setEnabled(!on);
    }

    std::function<void(bool)> lockNavigation_;
    QList<QWidget *> controls_;
    bool busyPointer_;
};
