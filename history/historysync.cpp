#include "historysync.h"

#include <QElapsedTimer>

namespace {
// Progress arrives for every object moved: the window hears of it at most this often.
constexpr int kProgressEveryMs = 100;
} // namespace

HistorySync::HistorySync(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<SyncResult>();
    qRegisterMetaType<SyncStage>();
}

HistorySync::~HistorySync()
{
    if (!thread_)
        return;
    cancel();
    thread_->wait();
    delete thread_;
}

bool HistorySync::start(const QString &root, const QString &token)
{
    if (thread_)
        return false;
    cancelled_ = false;
    thread_ = QThread::create([this, root, token] {
        SyncOptions options;
        options.token = token;
        options.cancelled = [this] { return cancelled_.load(); };
        QElapsedTimer sinceTold;
        SyncStage toldStage = SyncStage::Receiving;
        options.progress = [&](SyncStage stage, int done, int total) {
            if (sinceTold.isValid() && stage == toldStage && sinceTold.elapsed() < kProgressEveryMs)
                return;
            sinceTold.start();
            toldStage = stage;
            QMetaObject::invokeMethod(this, [this, stage, done, total] { emit progress(stage, done, total); },
                                      Qt::QueuedConnection);
        };
        HistoryRepo repo(root);
        const SyncResult result = repo.sync(options);
        QMetaObject::invokeMethod(this, [this, result] {
                end();
                emit finished(result);
            }, Qt::QueuedConnection);
    });
    thread_->start();
    return true;
}

// The thread has done its work once the outcome is here.
void HistorySync::end()
{
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
}
