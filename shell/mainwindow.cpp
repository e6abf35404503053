#include "mainwindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QScopedValueRollback>

#include "branchpage.h"
#include "editorregistry.h"
#include "filecommands.h"
#include "formpage.h"
#include "files/langtable.h"
#include "programicon.h"

namespace {

constexpr int kPanelWidth = 143; // the designed width of the tree panel

QString transferText(TransferKind kind)
{
    switch (kind) {
    case TransferKind::None:
        return {};
    case TransferKind::Download:
        return Translate(QStringLiteral("Descargando configuracion..."));
    case TransferKind::Upload:
        return Translate(QStringLiteral("Escribiendo configuracion..."));
    case TransferKind::Verify:
        return Translate(QStringLiteral("Verificando configuracion..."));
    case TransferKind::VoiceListRead:
        return Translate(QStringLiteral("Leyendo la lista de autorizacion de voz..."));
    case TransferKind::VoiceListWrite:
        return Translate(QStringLiteral("Escribiendo la lista de autorizacion de voz..."));
    case TransferKind::Firmware:
        return Translate(QStringLiteral("Actualizando el firmware..."));
    }
    return {};
}

QString nodeKey(const QTreeWidgetItem *item)
{
    return item ? item->data(0, Qt::UserRole).toString() : QString();
}

QString nodeCaption(const NavNode &node)
{
    return node.translated ? Translate(node.caption) : node.caption;
}

} // namespace

MainWindow::MainWindow(EditorRegistry &windows, const ProductLimits &limits, QWidget *parent)
    : QMainWindow(parent), windows_(windows)
{
    setObjectName("Main");
    setWindowTitle(caption());
    setWindowIcon(programIcon());

    client_ = new QWidget(this);
    client_->setObjectName("ClientArea");
    // Every page in the one cell: the page shown fills the client area.
    auto *pages = new QGridLayout(client_);
    pages->setContentsMargins(0, 0, 0, 0);
    setCentralWidget(client_);
    branchPage_ = new BranchPage;
    branchPage_->hide();
    pages->addWidget(new FormPage(branchPage_, client_));
    connect(branchPage_, &BranchPage::childChosen, this, &MainWindow::Tree_NodeClick);

    auto *panel = new QDockWidget(this);
    panel->setObjectName("Picture1");
    panel->setFeatures(QDockWidget::NoDockWidgetFeatures);
    panel->setTitleBarWidget(new QWidget(panel));
    Tree = new QTreeWidget(panel);
    Tree->setObjectName("Tree");
    Tree->setColumnCount(1);
    Tree->header()->hide();
    panel->setWidget(Tree);
    addDockWidget(Qt::LeftDockWidgetArea, panel);

    buildTree(limits);
    // The highlight is the page: moving it (arrow keys, a click) opens the
    // node's page, and a refused move puts it back on the page that stays.
    connect(Tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current) {
        if (!followingPage_ && current && nodeKey(current) != pageKey_)
            Tree_NodeClick(nodeKey(current));
    });
    // A click or Enter on the highlighted node opens its page again only
    // when something else took the client area meanwhile.
    const auto reopen = [this](QTreeWidgetItem *item) {
        if (item == Tree->currentItem() && !pageShown(nodeKey(item)))
            Tree_NodeClick(nodeKey(item));
    };
    connect(Tree, &QTreeWidget::itemClicked, this, reopen);
    connect(Tree, &QTreeWidget::itemActivated, this, reopen);
    onLanguageChange(this, &MainWindow::LoadText);
    fitMinimum();
    resize(minimumSizeHint());
}

QString MainWindow::caption()
{
    return Product::CompanyName + " " + Product::ProductTitle + " v"
           + QString::number(Product::VersionMajor) + "." + QString::number(Product::VersionMinor);
}

void MainWindow::followFiles(FileCommands &files)
{
    const auto showFile = [this](const QString &path) {
        held_ = QFileInfo(path).fileName();
        showCaption();
    };
    connect(&files, &FileCommands::fileOpened, this, [this, showFile](const QString &path) {
        showFile(path);
        statusBar()->clearMessage();
    });
    // After a download the editors hold the unit: its name and serial.
    connect(&files, &FileCommands::fileLeft, this, [this, &files] {
        const UnitIdentity unit = files.unitIdentity ? files.unitIdentity() : UnitIdentity();
        held_ = QStringList{unit.name.trimmed(), unit.serial.trimmed()}.join(u' ').trimmed();
        showCaption();
        statusBar()->clearMessage();
    });
    auto *save = new QShortcut(QKeySequence::Save, this);
    connect(save, &QShortcut::activated, &files, &FileCommands::saveCommand);
    auto *saveAs = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this);
    connect(saveAs, &QShortcut::activated, &files, &FileCommands::saveAsCommand);
    setCloseCheck([&files] { return files.settleChanges(); });
    connect(&files, &FileCommands::fileSaved, this, [this, showFile](const QString &path) {
        showFile(path);
        const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
        showStatus([shown] { return Translate(QStringLiteral("Configuracion guardada en")) + u' ' + shown; });
    });
}

// The program, then what the editors hold (a file, or the unit downloaded),
// then the unit connected when it is another.
void MainWindow::showCaption()
{
    QStringList parts{caption()};
    if (!held_.isEmpty())
        parts << held_;
    const QString serial = unit_ && unit_->isConnected() ? unit_->Device.SerialNumber.trimmed() : QString();
    if (!serial.isEmpty() && !held_.endsWith(serial))
        parts << Translate(QStringLiteral("Conectado a")) + u' ' + serial;
    const QString shown = parts.join(QStringLiteral(" - "));
    if (windowTitle() != shown)
        setWindowTitle(shown);
}

void MainWindow::showStatus(std::function<QString()> text)
{
    status_ = std::move(text);
    statusBar()->showMessage(status_());
}

void MainWindow::LoadText()
{
    for (QTreeWidgetItemIterator it(Tree); *it; ++it)
        (*it)->setText(0, nodeCaption(nodes_.value(nodeKey(*it))));
    fitTreeWidth();
    fitMinimum();
    showCaption();
    if (!branchPage_->isHidden())
        showBranch(branchShown_);
    if (status_ && !statusBar()->currentMessage().isEmpty())
        statusBar()->showMessage(status_());
}

void MainWindow::setMessage(UserMessage message)
{
    message_ = std::move(message);
}

bool MainWindow::refuseFaults(const QList<BoxFault> &faults)
{
    if (faults.isEmpty())
        return false;
    const BoxFault &first = faults.first();
    message_(QMessageBox::Warning,
             Translate(QStringLiteral("Corrija estos valores antes de continuar:")) + QStringLiteral("\n\n")
                 + faultLines(faults),
             QMessageBox::Ok);
    if (first.window->isHidden()) {
        showWindow(first.window);
        pageKey_ = nodeOfWindow(first.window);
        highlightPage();
    }
    first.box->setFocus();
    return true;
}

void MainWindow::setShutdown(std::function<void()> shutdown)
{
    shutdown_ = std::move(shutdown);
}

void MainWindow::setNavigationLock(std::function<bool()> locked)
{
    locked_ = std::move(locked);
}

void MainWindow::lockTree(bool locked)
{
    treeLocked_ = locked;
    Tree->setEnabled(!locked && !(unit_ && unit_->transfer() != TransferKind::None));
}

void MainWindow::followTransfers(UnitConnection &unit, UserMessage message)
{
    unit_ = &unit;
    message_ = std::move(message);
    connect(&unit, &UnitConnection::transferChanged, this, &MainWindow::showTransfer);
    // The identity read on connecting names the unit; a drop forgets it.
    connect(&unit, &UnitConnection::infoChanged, this, &MainWindow::showCaption);
    connect(&unit, &UnitConnection::disconnected, this, &MainWindow::showCaption);
}

void MainWindow::showTransfer(TransferKind kind)
{
    lockTree(treeLocked_);
    if (kind != TransferKind::None) {
        transferShown_ = transferText(kind);
        statusBar()->showMessage(transferShown_);
        return;
    }
    // What the transfer's end told (where its trace went) stays.
    if (statusBar()->currentMessage() == transferShown_)
        statusBar()->clearMessage();
    // Queued: the transfer that just ended is still unwinding.
    if (closeAfterTransfer_)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void MainWindow::buildTree(const ProductLimits &limits)
{
    for (const NavNode &node : navigationNodes(limits)) {
        QTreeWidgetItem *parent = items_.value(node.parent);
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(Tree);
        item->setText(0, nodeCaption(node));
        item->setData(0, Qt::UserRole, node.key);
        items_.insert(node.key, item);
        nodes_.insert(node.key, node);
    }
    if (Tree->topLevelItemCount() > 0)
        Tree->topLevelItem(0)->setExpanded(true);
    fitTreeWidth();
}

// The column must show the longest caption at its depth, whatever the
// language, with room for the scroll bar once branches are opened.
void MainWindow::fitTreeWidth()
{
    const QFontMetrics metrics(Tree->font());
    const int indent = Tree->indentation();
    int widest = 0;
    std::function<void(QTreeWidgetItem *, int)> measure = [&](QTreeWidgetItem *item, int depth) {
        widest = qMax(widest, (depth + 1) * indent + metrics.horizontalAdvance(item->text(0)));
        for (int i = 0; i < item->childCount(); ++i)
            measure(item->child(i), depth + 1);
    };
    for (int i = 0; i < Tree->topLevelItemCount(); ++i)
        measure(Tree->topLevelItem(i), 0);
    const int column = widest + 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
    Tree->setColumnWidth(0, column);
    const int scroll = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    Tree->setFixedWidth(qMax(kPanelWidth, column + scroll + 2 * Tree->frameWidth()));
}

void MainWindow::adoptWindows()
{
    for (QWidget *w : windows_.windows()) {
        w->hide();
        client_->layout()->addWidget(new FormPage(w, client_));
    }
    fitMinimum();
    resize(size().expandedTo(minimumSizeHint()));
}

// The frame grows as the operator likes; it never gets smaller than the
// designed client area, nor than any window needs to show whole without
// scrolling in the language in use.
void MainWindow::fitMinimum()
{
    QSize area = kClientSize;
    for (const QWidget *w : windows_.windows())
        area = area.expandedTo(w->minimumSize().expandedTo(w->minimumSizeHint()));
    // A window with wrapping text is as tall as its layout wants it at that width.
    for (const QWidget *w : windows_.windows()) {
        if (w->hasHeightForWidth())
            area.setHeight(qMax(area.height(), w->heightForWidth(area.width())));
    }
    client_->setMinimumSize(area);
}

void MainWindow::hideAll()
{
    for (QWidget *w : windows_.windows())
        w->hide();
    branchPage_->hide();
}

// At start no window is open: the root tells what the tree holds.
void MainWindow::showRoot()
{
    hideAll();
    pageKey_ = nodeKey(Tree->topLevelItem(0));
    highlightPage();
    showBranch(pageKey_);
}

void MainWindow::highlightPage()
{
    const QScopedValueRollback<bool> following(followingPage_, true);
    if (QTreeWidgetItem *item = items_.value(pageKey_); item && Tree->currentItem() != item)
        Tree->setCurrentItem(item);
}

bool MainWindow::pageShown(const QString &key) const
{
    const NavNode node = nodes_.value(key);
    if (node.window.isEmpty())
        return !branchPage_->isHidden() && branchShown_ == key;
    const QWidget *target = windows_.window(node.window);
    if (!target || target->isHidden())
        return false;
    const auto *editor = qobject_cast<const SectionEditor *>(target);
    return !editor || node.index < 0 || editor->ChannelIndex() == node.index;
}

// The node that opens the window on the channel it shows (the first of the
// window's nodes when none names that channel).
QString MainWindow::nodeOfWindow(const QWidget *window) const
{
    const auto *editor = qobject_cast<const SectionEditor *>(window);
    QString found;
    for (const QString &name : windows_.names()) {
        if (windows_.window(name) != window)
            continue;
        for (auto node = nodes_.cbegin(); node != nodes_.cend(); ++node) {
            if (node->window != name)
                continue;
            if (editor && node->index >= 0 && node->index == editor->ChannelIndex())
                return node.key();
            if (found.isEmpty() || node->index < nodes_.value(found).index)
                found = node.key();
        }
    }
    return found;
}

// A child's caption that is only a number or a range ("3", "4-7") is named
// with its branch ("Flags 3").
void MainWindow::showBranch(const QString &key)
{
    const QTreeWidgetItem *branch = items_.value(key);
    QList<BranchPage::Child> children;
    for (int i = 0; i < branch->childCount(); ++i) {
        const QTreeWidgetItem *child = branch->child(i);
        const QString caption = child->text(0);
        const bool bare = child->childCount() == 0 && !caption.isEmpty() && caption.front().isDigit();
        children.append({nodeKey(child), bare ? branch->text(0) + u' ' + caption : caption});
    }
    branchShown_ = key;
    branchPage_->showBranch(branch->text(0), children);
    branchPage_->show();
}

void MainWindow::Tree_NodeClick(const QString &key)
{
    openNode(key);
    highlightPage();
}

void MainWindow::openNode(const QString &key)
{
    if (!Tree->isEnabled() || (locked_ && locked_()))
        return;
    // A click on the tree takes the activation from the window shown: it
    // keeps what the operator typed there, and a refused number keeps the
    // operator there, so that what was typed is neither lost nor kept silently.
    QList<SectionEditor *> shown;
    QList<BoxFault> faults;
    for (QWidget *w : windows_.windows()) {
        if (auto *editor = qobject_cast<SectionEditor *>(w); editor && !editor->isHidden()) {
            shown << editor;
            faults += numberBoxFaults(editor);
        }
    }
    if (refuseFaults(faults))
        return;
    for (SectionEditor *editor : shown)
        editor->StoreControls();
    hideAll();
    pageKey_ = key;

    const auto node = nodes_.constFind(key);
    if (node == nodes_.cend())
        return;
    // A branch without a window of its own tells what it holds.
    if (node->window.isEmpty()) {
        if (items_.value(key)->childCount() > 0)
            showBranch(key);
        return;
    }
    QWidget *target = windows_.window(node->window);
    if (!target)
        return;
    if (auto *editor = qobject_cast<SectionEditor *>(target); editor && node->index >= 0)
        editor->ChangeIndex(node->index);
    showWindow(target);
}

void MainWindow::showWindow(QWidget *target)
{
    hideAll();
    target->move(0, 0);
    target->show();
    target->raise();
}

void MainWindow::openEditor(const QString &section, int slot)
{
    QString first;
    for (auto node = nodes_.cbegin(); node != nodes_.cend(); ++node) {
        if (node->window != section)
            continue;
        if (node->index == slot)
            return Tree_NodeClick(node.key());
        if (first.isEmpty() || node->index < nodes_.value(first).index)
            first = node.key();
    }
    if (!first.isEmpty())
        Tree_NodeClick(first);
}

// A transfer still running is stopped only if the operator says so; the
// window then closes once the transfer has ended.
bool MainWindow::closeDuringTransfer()
{
    const TransferKind kind = unit_ ? unit_->transfer() : TransferKind::None;
    if (kind == TransferKind::None || shutDown_)
        return false;
    if (closeAfterTransfer_)
        return true;
    const QString question = kind == TransferKind::Firmware
        ? Translate(QStringLiteral("La actualizacion de firmware esta en curso: si se detiene, la unidad "
                                   "necesitara la actualizacion de nuevo. Detenerla y salir?"))
        : Translate(QStringLiteral("Hay una transferencia en curso. Detenerla y salir?"));
    if (message_(QMessageBox::Question, question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return true;
    closeAfterTransfer_ = true;
    unit_->stopTransfer();
    return true;
}

void MainWindow::setCloseCheck(std::function<bool()> mayClose)
{
    mayClose_ = std::move(mayClose);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Unsaved edits are asked about only once no transfer holds the window open.
    if (closeDuringTransfer() || (!shutDown_ && !closeAfterTransfer_ && mayClose_ && !mayClose_())) {
        event->ignore();
        return;
    }
    if (!shutDown_) {
        shutDown_ = true;
        // A modem call the stopped transfer used is hung up before the link closes.
        if (closeAfterTransfer_ && unit_)
            unit_->disconnectUnit();
        if (shutdown_)
            shutdown_();
        for (QWidget *w : windows_.windows())
            w->close();
    }
    event->accept();
}
