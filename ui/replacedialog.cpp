// SPDX-License-Identifier: MIT
#include "ui/replacedialog.h"

#include "gui/tileset.h"
#include "level/tilenames.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace tess {

QString replacetext(const ReplaceCount& n, ReplaceScope scope) {
    QString text = n.cells == 1 ? QStringLiteral("1 Feld") : QStringLiteral("%1 Felder").arg(n.cells);
    if (scope == ReplaceScope::pack)
        text += n.levels == 1 ? QStringLiteral(" in 1 Level") : QStringLiteral(" in %1 Leveln").arg(n.levels);
    return text;
}

namespace {

// Where a window of size frame goes on screen so as not to cover keepclear:
// beside, above or below it, on the side with the most room, within screen.
QPoint besiderect(const QSize& frame, const QRect& keepclear, const QRect& screen) {
    constexpr int gap = 8;
    const int w = frame.width() + gap, h = frame.height() + gap;
    // Room on each side and what is left of it once the window is there.
    const int room[4] = {keepclear.left() - screen.left(), screen.right() - keepclear.right(),
                         keepclear.top() - screen.top(), screen.bottom() - keepclear.bottom()};
    const int spare[4] = {room[0] - w, room[1] - w, room[2] - h, room[3] - h};
    const int side = int(std::max_element(spare, spare + 4) - spare);
    QPoint at(keepclear.center().x() - frame.width() / 2,
              keepclear.center().y() - frame.height() / 2);
    switch (side) {
    case 0: at.setX(keepclear.left() - w); break;
    case 1: at.setX(keepclear.right() + 1 + gap); break;
    case 2: at.setY(keepclear.top() - h); break;
    default: at.setY(keepclear.bottom() + 1 + gap); break;
    }
    at.setX(std::max(screen.left(), std::min(at.x(), screen.right() + 1 - frame.width())));
    at.setY(std::max(screen.top(), std::min(at.y(), screen.bottom() + 1 - frame.height())));
    return at;
}

} // namespace

ReplaceDialog::ReplaceDialog(const TileSet& tiles, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ReplaceDialog"));
    setWindowTitle(QStringLiteral("Ersetzen"));
    setWindowModality(Qt::WindowModal);
    auto* box = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    box->addLayout(form);
    const auto tilechoice = [&](const char* name) {
        auto* c = new QComboBox(this);
        c->setObjectName(QString::fromLatin1(name));
        c->setIconSize(QSize(32, 32));
        for (int code = 0; code < tiles.itemcount; ++code)
            c->addItem(QPixmap::fromImage(scaletile(tiles.picture(code, false), 32)),
                       QStringLiteral("%1  %2").arg(code).arg(QString::fromUtf8(tilename(code))));
        c->setMaxVisibleItems(12);
        // The port names are long: the field keeps a sensible width and the
        // list opens wide enough to show them whole.
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(30);
        c->view()->setMinimumWidth(c->view()->sizeHintForColumn(0) +
                                   c->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        connect(c, &QComboBox::currentIndexChanged, this, &ReplaceDialog::recount);
        return c;
    };
    ComboBox1 = tilechoice("ComboBox1");
    ComboBox2 = tilechoice("ComboBox2");
    ComboBox2->setPlaceholderText(QStringLiteral("(bitte wählen)"));
    form->addRow(QStringLiteral("&Suchen:"), ComboBox1);
    form->addRow(QStringLiteral("Ersetzen &durch:"), ComboBox2);

    auto* where = new QGroupBox(QStringLiteral("Bereich"), this);
    auto* wherebox = new QVBoxLayout(where);
    const auto scopechoice = [&](const char* name, const char* caption) {
        auto* r = new QRadioButton(QString::fromUtf8(caption), where);
        r->setObjectName(QString::fromLatin1(name));
        wherebox->addWidget(r);
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on) recount();
        });
        return r;
    };
    RadioButton1 = scopechoice("RadioButton1", "&Markierte Felder");
    RadioButton2 = scopechoice("RadioButton2", "Dieser &Level");
    RadioButton3 = scopechoice("RadioButton3", "&Alle 111 Level");
    box->addWidget(where);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setMinimumWidth(260);
    box->addWidget(Label1);

    auto* buttons = new QDialogButtonBox(this);
    Button1 = buttons->addButton(QStringLiteral("&Ersetzen"), QDialogButtonBox::ApplyRole);
    Button2 = buttons->addButton(QStringLiteral("&Rückgängig"), QDialogButtonBox::ResetRole);
    Button3 = buttons->addButton(QStringLiteral("S&chließen"), QDialogButtonBox::RejectRole);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2->setObjectName(QStringLiteral("Button2"));
    Button3->setObjectName(QStringLiteral("Button3"));
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &ReplaceDialog::run);
    connect(Button2, &QPushButton::clicked, this, &ReplaceDialog::takeback);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    box->addWidget(buttons);
}

void ReplaceDialog::start(int from, bool anymarked, const QRect& keepclear) {
    {
        const QSignalBlocker b1(ComboBox1), b2(ComboBox2);
        ComboBox1->setCurrentIndex(from);
        ComboBox2->setCurrentIndex(-1);
        RadioButton1->setEnabled(anymarked);
        (anymarked ? RadioButton1 : RadioButton2)->setChecked(true);
    }
    Button2->setEnabled(false);
    recount();
    adjustSize();
    if (keepclear.isEmpty())
        setAttribute(Qt::WA_Moved, false); // centred over the window, as dialogs open
    else
        placebeside(keepclear);
    open();
    // The window system may have told the frame's size only now.
    if (!keepclear.isEmpty()) placebeside(keepclear);
}

void ReplaceDialog::placebeside(const QRect& keepclear) {
    QSize frame = frameGeometry().size();
    if (frame == size()) // no frame known yet: allow for a title bar
        frame.rheight() += style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const QScreen* on = QGuiApplication::screenAt(keepclear.center());
    if (!on) on = screen();
    move(besiderect(frame, keepclear, on->availableGeometry()));
}

ReplaceScope ReplaceDialog::scope() const {
    if (RadioButton1->isChecked()) return ReplaceScope::marked;
    if (RadioButton3->isChecked()) return ReplaceScope::pack;
    return ReplaceScope::level;
}

void ReplaceDialog::recount() {
    if (ComboBox2->currentIndex() < 0) {
        Label1->setText(QStringLiteral("Wählen Sie, wodurch ersetzt wird."));
        Button1->setEnabled(false);
        return;
    }
    if (!count) return;
    const ReplaceCount n = count(std::uint8_t(ComboBox1->currentIndex()), std::uint8_t(ComboBox2->currentIndex()), scope());
    QString text = n.cells ? QStringLiteral("Es werden %1 geändert.").arg(replacetext(n, scope()))
                           : QStringLiteral("Es gibt nichts zu ersetzen.");
    if (n.skipped)
        text += QStringLiteral(" %1 Level bleiben, weil sie danach mehr als 11 Gravitationsschalter hätten.")
                    .arg(n.skipped);
    Label1->setText(text);
    Button1->setEnabled(n.cells > 0);
}

void ReplaceDialog::run() {
    if (!replace || ComboBox2->currentIndex() < 0) return;
    const ReplaceScope where = scope();
    const ReplaceCount n = replace(std::uint8_t(ComboBox1->currentIndex()), std::uint8_t(ComboBox2->currentIndex()), where);
    Label1->setText(QStringLiteral("%1 ersetzt.").arg(replacetext(n, where)));
    Button1->setEnabled(false);
    Button2->setEnabled(n.cells > 0);
}

void ReplaceDialog::takeback() {
    const bool undone = undo && undo();
    Button2->setEnabled(false);
    recount();
    Label1->setText((undone ? QStringLiteral("Rückgängig gemacht. ")
                            : QStringLiteral("Ein Level wurde inzwischen geändert; nichts rückgängig gemacht. ")) +
                    Label1->text());
}

} // namespace tess
