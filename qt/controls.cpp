// The form's controls as widgets, menu items and timers: one factory for each kind of
// control, and the mirror that keeps them in step with the form.
#include "qt/image.hpp"
#include "qt/window.hpp"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace vx {

namespace {

// The design places suit a smaller font than most desktops use: the columns widen by at
// most this much to show every label's whole caption.
constexpr double kMostWidening = 1.6;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

void MainWindow::build() {
    buildFrame();
    for (const ui::Control& c : sh_.form.controls())
        if (QWidget* w = makeControl(c)) keepWidget(w, c);
    // A button with keys of its own sees them before Qt moves the focus with the arrows.
    for (const ui::Control& c : sh_.form.controls())
        if (QWidget* w = control(c.name);
            w && c.kind != ui::Kind::TextField && ev_.handlesKeys(c.name))
            w->installEventFilter(this);
    widenColumns();
    for (const ui::Control& c : sh_.form.controls())
        if (QWidget* w = control(c.name)) w->setGeometry(place(c));
}

void MainWindow::buildFrame() {
    canvas_ = new Canvas(*this, this);
    canvas_->setObjectName("shapes");
    setCentralWidget(canvas_);
    status_ = new QLabel(this);
    status_->setObjectName("statusLine");
    statusBar()->addWidget(status_, 1);
    warning_ = new QLabel(this);
    warning_->setObjectName("warningLine");
    warning_->setStyleSheet("QLabel { color: #a00000; }");
    warning_->hide();
    statusBar()->addPermanentWidget(warning_);
}

QWidget* MainWindow::makeControl(const ui::Control& c) {
    switch (c.kind) {
    case ui::Kind::Button:
        return makeButton(c);
    case ui::Kind::Label:
        return makeLabel(c);
    case ui::Kind::TextField:
        return makeTextField(c);
    case ui::Kind::OptionButton:
        return makeOptionButton(c);
    case ui::Kind::PictureBox:
        return new PictureView(c.name == "Picture1" ? sh_.picture1 : sh_.picture2, canvas_);
    case ui::Kind::FileList:
        return makeFileList(c);
    case ui::Kind::Menu:
        makeMenu(c);
        break;
    case ui::Kind::Timer:
        makeTimer(c);
        break;
    }
    return nullptr;
}

void MainWindow::keepWidget(QWidget* w, const ui::Control& c) {
    w->setObjectName(qs(c.name));
    if (c.backColor >= 0 && c.kind != ui::Kind::PictureBox) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, toQColor(c.backColor));
        p.setColor(QPalette::Button, toQColor(c.backColor));
        w->setPalette(p);
    }
    w->setVisible(c.visible);
    widgets_[c.name] = w;
}

void MainWindow::widenColumns() {
    for (const ui::Control& c : sh_.form.controls()) {
        if (c.kind != ui::Kind::Label || c.w <= 0) continue;
        const QWidget* l = control(c.name);
        const int need = l->fontMetrics().horizontalAdvance(qs(c.text)) + 6;
        scaleX_ = std::max(scaleX_, static_cast<double>(need) / c.w);
    }
    scaleX_ = std::min(scaleX_, kMostWidening);
}

QWidget* MainWindow::makeButton(const ui::Control& c) {
    auto* b = new QPushButton(qs(c.text), canvas_);
    connect(b, &QPushButton::clicked, this, [this, n = c.name] { dispatchClick(n); });
    return b;
}

QWidget* MainWindow::makeLabel(const ui::Control& c) {
    auto* l = new QLabel(qs(c.text), canvas_);
    l->setAutoFillBackground(true);
    return l;
}

QWidget* MainWindow::makeTextField(const ui::Control& c) {
    auto* t = new QLineEdit(qs(c.text), canvas_);
    if (c.maxLength > 0) t->setMaxLength(c.maxLength);
    t->installEventFilter(this);
    connect(t, &QLineEdit::textEdited, this,
            [this, n = c.name](const QString& s) { sh_.form.setText(n, s.toStdString()); });
    return t;
}

QWidget* MainWindow::makeOptionButton(const ui::Control& c) {
    auto* r = new QRadioButton(qs(c.text), canvas_);
    r->setAutoExclusive(false); // the model decides which one is selected
    r->setChecked(c.checked);
    r->setAutoFillBackground(true);
    connect(r, &QRadioButton::clicked, this, [this, n = c.name, r] {
        r->setChecked(sh_.form.checked(n));
        dispatchClick(n);
    });
    return r;
}

QWidget* MainWindow::makeFileList(const ui::Control& c) {
    auto* l = new QListWidget(canvas_);
    connect(l, &QListWidget::itemClicked, this, [this, n = c.name, l] {
        sh_.form.select(n, l->currentRow());
        dispatchClick(n);
    });
    return l;
}

void MainWindow::makeMenu(const ui::Control& c) {
    QMenu* parent = c.parent.empty() ? nullptr : menus_[c.parent];
    QAction* a = nullptr;
    if (!sh_.form.menuChildren(c.name).empty()) {
        QMenu* m = parent ? parent->addMenu(qs(c.text)) : menuBar()->addMenu(qs(c.text));
        m->setObjectName(qs(c.name));
        menus_[c.name] = m;
        a = m->menuAction();
    } else {
        a = makeMenuItem(c, parent);
    }
    a->setObjectName(qs(c.name));
    a->setVisible(c.visible);
    a->setEnabled(c.enabled);
    if (!c.group.empty()) {
        // Radio marks; an exclusive group that allows none, for the imported scale.
        QActionGroup*& g = groups_[c.group];
        if (!g) {
            g = new QActionGroup(this);
            g->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        }
        g->addAction(a);
    }
    actions_[c.name] = a;
    if (a->isCheckable()) showMark(c);
}

QAction* MainWindow::makeMenuItem(const ui::Control& c, QMenu* parent) {
    QAction* a = parent ? parent->addAction(qs(c.text)) : menuBar()->addAction(qs(c.text));
    // Only items whose mark mirrors a setting show a check box; the model decides the mark,
    // not the click.
    a->setCheckable(c.checkable);
    if (!c.shortcut.empty()) a->setShortcut(QKeySequence(qs(c.shortcut)));
    connect(a, &QAction::triggered, this, [this, n = c.name, a] {
        if (a->isCheckable()) showMark(sh_.form.get(n));
        // Items of menus that are never shown stay out of reach.
        if (reachable(n)) dispatchClick(n);
    });
    return a;
}

void MainWindow::makeTimer(const ui::Control& c) {
    auto* t = new QTimer(this);
    t->setObjectName(qs(c.name));
    t->setInterval(c.interval);
    if (c.name == "Timer2") {
        // The slow-animation tick only ends a wait; a repaint a millisecond would keep a core
        // busy.
        connect(t, &QTimer::timeout, this,
                [this, n = c.name] { runHandler([&] { ev_.click(sh_, n); }, false); });
    } else {
        connect(t, &QTimer::timeout, this, [this, n = c.name] { dispatchClick(n); });
    }
    if (c.enabled) t->start();
    timers_[c.name] = t;
}

QRect MainWindow::place(const ui::Control& c) const {
    // Picture boxes keep their pixel places: the program moves and sizes them itself.
    if (c.kind == ui::Kind::PictureBox) return QRect(c.x, c.y, c.w, c.h);
    const int x = static_cast<int>(std::lround(c.x * scaleX_));
    int w = static_cast<int>(std::lround(c.w * scaleX_));
    if (c.kind == ui::Kind::Button || c.kind == ui::Kind::OptionButton)
        if (const QWidget* b = control(c.name)) w = std::max(w, b->sizeHint().width());
    return QRect(x, c.y, w, c.h);
}

void MainWindow::mirror(const ui::Control& c, ui::Change ch) {
    if (QTimer* t = timer(c.name)) return mirrorTimer(t, c, ch);
    // The desktop's own screen saver waits while ours runs.
    if (c.name == "ssaver" && ch == ui::Change::Checked) inhibitor_.hold(c.checked);
    // The favourites page takes the keys: its arrows, Enter and Delete.
    if (c.name == "favpage" && ch == ui::Change::Visible && c.visible) canvas_->setFocus();
    if (QAction* a = menuItem(c.name)) return mirrorMenuItem(a, c);
    if (QWidget* w = control(c.name)) mirrorWidget(w, c, ch);
}

void MainWindow::mirrorTimer(QTimer* t, const ui::Control& c, ui::Change ch) {
    t->setInterval(std::max(0, c.interval));
    // A timer with interval 0 does not tick, as a stopped timer.
    if (c.enabled && c.interval > 0) {
        if (!t->isActive() || ch == ui::Change::Interval) t->start();
    } else {
        t->stop();
    }
}

void MainWindow::mirrorMenuItem(QAction* a, const ui::Control& c) {
    a->setVisible(c.visible);
    a->setEnabled(c.enabled);
    if (a->isCheckable()) showMark(c);
    a->setText(qs(c.text));
}

void MainWindow::mirrorWidget(QWidget* w, const ui::Control& c, ui::Change ch) {
    switch (ch) {
    case ui::Change::Visible:
        w->setVisible(c.visible);
        break;
    case ui::Change::Enabled:
        w->setEnabled(c.enabled);
        break;
    case ui::Change::Geometry:
        w->setGeometry(place(c));
        break;
    case ui::Change::Selected:
    case ui::Change::Checked:
        if (auto* r = qobject_cast<QRadioButton*>(w)) r->setChecked(c.checked);
        if (auto* l = qobject_cast<QListWidget*>(w)) l->setCurrentRow(c.selected);
        break;
    case ui::Change::Items:
        if (auto* l = qobject_cast<QListWidget*>(w)) {
            l->clear();
            for (const std::string& item : c.items) l->addItem(qs(item));
            l->setCurrentRow(c.selected);
        }
        break;
    case ui::Change::Text:
        mirrorText(w, c);
        break;
    default:
        break;
    }
}

void MainWindow::mirrorText(QWidget* w, const ui::Control& c) {
    const QString s = qs(c.text);
    if (auto* t = qobject_cast<QLineEdit*>(w)) {
        // Untouched when it already shows the text: the cursor stays where the user put it.
        if (t->text() != s) {
            if (t->maxLength() < s.size()) t->setMaxLength(static_cast<int>(s.size()));
            t->setText(s);
        }
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(s);
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setText(s);
    }
}

void MainWindow::showMark(const ui::Control& c) {
    if (c.group.empty()) {
        actions_.at(c.name)->setChecked(c.checked);
        return;
    }
    // The group unchecks the others when one is checked: the unchecked first, so that it
    // has nothing of its own to undo.
    for (const bool mark : {false, true})
        for (const ui::Control& m : sh_.form.controls())
            if (m.group == c.group && m.checked == mark)
                if (auto it = actions_.find(m.name); it != actions_.end())
                    it->second->setChecked(mark);
}

} // namespace vx
