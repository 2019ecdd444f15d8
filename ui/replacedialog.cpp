// SPDX-License-Identifier: MIT
#include "ui/replacedialog.h"

#include "edit/besiderect.h"
#include "gui/germantexts.h"
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


namespace tess {

QString replacetext(const ReplaceCount& n, ReplaceScope scope) {
    QString text = n.cells == 1 ? captiontext("onecell") : captiontext("cells").arg(n.cells);
    if (scope == ReplaceScope::pack)
        text += n.levels == 1 ? captiontext("inonelevel") : captiontext("inlevels").arg(n.levels);
    return text;
}

ReplaceDialog::ReplaceDialog(const TileSet& tiles, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ReplaceDialog"));
    setWindowTitle(captiontext("replacecaption"));
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
    ComboBox2->setPlaceholderText(captiontext("replacechoose"));
    form->addRow(captiontext("replacefind"), ComboBox1);
    form->addRow(captiontext("replaceby"), ComboBox2);

    auto* where = new QGroupBox(captiontext("replacescope"), this);
    auto* wherebox = new QVBoxLayout(where);
    const auto scopechoice = [&](const char* name, const char* caption) {
        auto* r = new QRadioButton(captiontext(caption), where);
        r->setObjectName(QString::fromLatin1(name));
        wherebox->addWidget(r);
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on) recount();
        });
        return r;
    };
    RadioButton1 = scopechoice("RadioButton1", "replacemarked");
    RadioButton2 = scopechoice("RadioButton2", "replacelevel");
    RadioButton3 = scopechoice("RadioButton3", "replaceall");
    box->addWidget(where);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setMinimumWidth(260);
    box->addWidget(Label1);

    auto* buttons = new QDialogButtonBox(this);
    Button1 = buttons->addButton(captiontext("replacebutton"), QDialogButtonBox::ApplyRole);
    Button2 = buttons->addButton(captiontext("replaceundo"), QDialogButtonBox::ResetRole);
    Button3 = buttons->addButton(captiontext("replaceclose"), QDialogButtonBox::RejectRole);
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
    const QRect screen = on->availableGeometry();
    const PixelPoint at = besiderect(frame.width(), frame.height(),
                                     {keepclear.x(), keepclear.y(), keepclear.width(), keepclear.height()},
                                     {screen.x(), screen.y(), screen.width(), screen.height()});
    move(at.x, at.y);
}

ReplaceScope ReplaceDialog::scope() const {
    if (RadioButton1->isChecked()) return ReplaceScope::marked;
    if (RadioButton3->isChecked()) return ReplaceScope::pack;
    return ReplaceScope::level;
}

void ReplaceDialog::recount() {
    if (ComboBox2->currentIndex() < 0) {
        Label1->setText(captiontext("replacepick"));
        Button1->setEnabled(false);
        return;
    }
    if (!count) return;
    const ReplaceCount n = count(std::uint8_t(ComboBox1->currentIndex()), std::uint8_t(ComboBox2->currentIndex()), scope());
    QString text = n.cells ? captiontext("replacewill").arg(replacetext(n, scope())) : captiontext("replacenothing");
    if (n.skipped) text += captiontext("replaceskipped").arg(n.skipped);
    Label1->setText(text);
    Button1->setEnabled(n.cells > 0);
}

void ReplaceDialog::run() {
    if (!replace || ComboBox2->currentIndex() < 0) return;
    const ReplaceScope where = scope();
    const ReplaceCount n = replace(std::uint8_t(ComboBox1->currentIndex()), std::uint8_t(ComboBox2->currentIndex()), where);
    Label1->setText(captiontext("replacedone").arg(replacetext(n, where)));
    Button1->setEnabled(false);
    Button2->setEnabled(n.cells > 0);
}

void ReplaceDialog::takeback() {
    const bool undone = undo && undo();
    Button2->setEnabled(false);
    recount();
    Label1->setText(captiontext(undone ? "replaceundone" : "replacenotundone") + Label1->text());
}

} // namespace tess
