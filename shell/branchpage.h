#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QGridLayout;
class QLabel;

// What a branch of the navigation tree holds, where the branch has no window
// of its own: its caption as the heading and a button for each child, which
// opens the child as a click on its node does.
class BranchPage : public QWidget {
    Q_OBJECT
public:
    struct Child {
        QString key;
        QString caption;
    };

    explicit BranchPage(QWidget *parent = nullptr);

    // Shows the branch's caption and its children, replacing what was shown.
    void showBranch(const QString &caption, const QList<Child> &children);

    QLabel *Titulo;

signals:
    void childChosen(const QString &key);

private:
    QLabel *hint_;
    QGridLayout *buttons_;
};
