#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <memory>

#include "historyrepo.h"

// One sync of a history folder on a thread of its own, so that the window
// that asked for it stays responsive: the thread opens the repository for
// itself (libgit2 objects are never shared between threads) and the folder's
// lock keeps it apart from the commits of the window's thread. Progress and
// the outcome arrive as signals on the thread that made this object.
// Destroying it stops a sync under way and waits for its thread.
class HistorySync : public QObject {
    Q_OBJECT
public:
    explicit HistorySync(QObject *parent = nullptr);
    ~HistorySync() override;

    // False, doing nothing, while a sync runs.
    bool start(const QString &root, const QString &token);
    bool running() const { return thread_ != nullptr; }
    // Asks a running sync to stop at its next step.
    void cancel() { cancelled_ = true; }

signals:
    void progress(SyncStage stage, int done, int total);
    void finished(const SyncResult &result);

private:
    void end();

    QThread *thread_ = nullptr;
    std::atomic<bool> cancelled_ = false;
};
