#pragma once

#include <QHash>
#include <QMainWindow>
#include <functional>

#include "link/unitconnection.h"
#include "model/product.h"
#include "navigation.h"
#include "widgets/numberbox.h"
#include "widgets/usermessage.h"

class BranchPage;
class EditorRegistry;
class FileCommands;
class QTreeWidget;
class QTreeWidgetItem;

// The frame of the program: the navigation tree docked at the left and the
// client area where one editor or tool window is shown at a time.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The client area is never smaller than this (the designed form size).
    static constexpr QSize kClientSize{649, 566};

    explicit MainWindow(EditorRegistry &windows, const ProductLimits &limits = kProductLimits,
                        QWidget *parent = nullptr);

    // Runs once when the window is closed, before anything else goes (settings).
    void setShutdown(std::function<void()> shutdown);
    // While this holds (a download is filling the model), node clicks are
    // ignored: opening a window stores its controls, which would overwrite
    // what the unit has just sent.
    void setNavigationLock(std::function<bool()> locked);
    // Greys the tree, and ignores node clicks, while a tool runs a long
    // operation that must keep the operator in its window.
    void lockTree(bool locked);
    // Every transfer of the unit locks the tree and is named in the status
    // line while it runs; closing the window during one asks first.
    void followTransfers(UnitConnection &unit, UserMessage message = productMessage);

    QTreeWidget *tree() const { return Tree; }
    QWidget *clientArea() const { return client_; }
    BranchPage *branchPage() const { return branchPage_; }

    // Takes every registered window into the client area, hidden, each on a
    // page that fills the client area; the frame is at least as large as the
    // largest window needs.
    void adoptWindows();
    void hideAll();
    void showRoot();

    // Navigation by node key: hide every window, then open the node's window;
    // a branch without one shows what it holds (branchPage()).
    void Tree_NodeClick(const QString &key);
    // Opens the editor of a section on a channel (-1 or a channel without a
    // node of its own: the section's first node), as a click on its node does.
    void openEditor(const QString &section, int slot);

    static QString caption();

    // How the window tells the operator (tests answer without a modal box).
    void setMessage(UserMessage message);
    // With faults, tells the operator which fields hold what cannot be kept,
    // opens the window of the first and puts the cursor in it: true. Without,
    // false. Saving, uploading and leaving a window ask it first.
    bool refuseFaults(const QList<BoxFault> &faults);

    // The caption names the file opened or saved, or the unit downloaded,
    // and the unit connected (followTransfers);
    // the status line tells where a saved file went and is cleared when the
    // editors take another configuration. Ctrl+S saves, Ctrl+Shift+S saves
    // under a new name, and closing asks about unsaved changes first.
    void followFiles(FileCommands &files);
    // Asked before the window closes; false keeps it open.
    void setCloseCheck(std::function<bool()> mayClose);

    // The tree's captions and the status line in the language in use.
    void LoadText();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildTree(const ProductLimits &limits);
    // Shows text() in the status line; a language change shows it again.
    void showStatus(std::function<QString()> text);
    void showCaption();
    void fitTreeWidth();
    void fitMinimum();
    void showTransfer(TransferKind kind);
    bool closeDuringTransfer();
    void showWindow(QWidget *target);
    void showBranch(const QString &key);
    void openNode(const QString &key);
    // Puts the tree's highlight on the node whose page is shown.
    void highlightPage();
    bool pageShown(const QString &key) const;
    QString nodeOfWindow(const QWidget *window) const;

    EditorRegistry &windows_;
    QTreeWidget *Tree = nullptr;
    QWidget *client_ = nullptr;
    QHash<QString, NavNode> nodes_;
    QHash<QString, QTreeWidgetItem *> items_;
    BranchPage *branchPage_ = nullptr;
    QString branchShown_;
    QString pageKey_; // the node whose page the client area shows
    bool followingPage_ = false;
    std::function<QString()> status_;
    std::function<void()> shutdown_;
    std::function<bool()> locked_;
    std::function<bool()> mayClose_;
    UserMessage message_ = productMessage;
    bool shutDown_ = false;
    bool treeLocked_ = false;
    UnitConnection *unit_ = nullptr;
    bool closeAfterTransfer_ = false;
    QString transferShown_;
    QString held_; // what the editors hold: a file's name, or the unit downloaded
};
