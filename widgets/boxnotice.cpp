#include "boxnotice.h"

#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QToolTip>

namespace {

const QString kNoticeName = QStringLiteral("boxNotice");
constexpr int kShownMs = 4000;

// Hides the balloon when its box loses the focus or is hidden.
class NoticeHider : public QObject {
public:
    explicit NoticeHider(QLabel *notice) : QObject(notice), notice_(notice) {}

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::FocusOut || event->type() == QEvent::Hide)
            notice_->hide();
        return false;
    }

private:
    QLabel *notice_;
};

} // namespace

QLabel *boxNotice(const QWidget *box)
{
    return box->findChild<QLabel *>(kNoticeName, Qt::FindDirectChildrenOnly);
}

void showBoxNotice(QWidget *box, const QString &text)
{
    QLabel *notice = boxNotice(box);
    if (!notice) {
        notice = new QLabel(box, Qt::ToolTip);
        notice->setObjectName(kNoticeName);
        notice->setPalette(QToolTip::palette());
        notice->setFont(QToolTip::font());
        notice->setAutoFillBackground(true);
        notice->setFrameStyle(QFrame::Box | QFrame::Plain);
        notice->setMargin(3);
        auto *timer = new QTimer(notice);
        timer->setSingleShot(true);
        QObject::connect(timer, &QTimer::timeout, notice, &QWidget::hide);
        box->installEventFilter(new NoticeHider(notice));
    }
    notice->setText(text);
    notice->adjustSize();
    notice->move(box->mapToGlobal(QPoint(0, box->height())));
    notice->show();
    notice->findChild<QTimer *>()->start(kShownMs);
}
