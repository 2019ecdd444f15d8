// SPDX-License-Identifier: MIT
#include "ui/levelstats.h"

#include "edit/levelstats.h"
#include "level/captions.h"
#include "gui/germantexts.h"
#include "gui/tileset.h"
#include "level/tilenames.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tess {

namespace {
constexpr int maxcolumns = 3;
constexpr int picturepx = 32;
constexpr int countwidth = 36;
}

LevelStats::LevelStats(const TileSet& tiles, QWidget* parent) : QDialog(parent), tiles_(tiles) {
    setObjectName(QStringLiteral("LevelStats"));
    setWindowTitle(captiontext("statscaption"));
    setWindowModality(Qt::WindowModal);
    auto* box = new QVBoxLayout(this);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    box->addWidget(Label1);
    // The table scrolls where the screen is too small for it (a level of
    // many kinds of tile at 200 %).
    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_ = new QWidget(scroll_);
    grid_ = new QGridLayout(table_);
    grid_->setHorizontalSpacing(12);
    scroll_->setWidget(table_);
    box->addWidget(scroll_, 1);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    box->addWidget(Label2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QString::fromUtf8(caption("close")));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    box->addWidget(buttons);
}

void LevelStats::start(const TileCounts& counts, int counted, int number, const QString& title, int needed) {
    while (QLayoutItem* item = grid_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    Label1->setText(captiontext("statslevel").arg(number, 3, 10, QChar(u'0')).arg(title.trimmed()));
    // As many columns as the screen has room for, up to three.
    const QRect room = screen()->availableGeometry();
    const int namewidth = fontMetrics().averageCharWidth() * 24;
    const int entry = picturepx + countwidth + namewidth + 3 * grid_->horizontalSpacing();
    const int columns = std::clamp((room.width() - 80) / entry, 1, maxcolumns);
    const LevelStatistics stats = levelstatistics(counts, counted);
    int k = 0;
    for (const auto& [code, count] : stats.tiles) {
        auto* pic = new QLabel(table_);
        pic->setPixmap(QPixmap::fromImage(scaletile(tiles_.picture(code, false), picturepx)));
        pic->setToolTip(captiontext("code").arg(code));
        auto* n = new QLabel(QString::number(count), table_);
        n->setObjectName(QStringLiteral("count%1").arg(code));
        n->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        n->setMinimumWidth(countwidth);
        // The long port names wrap rather than widen the table.
        auto* name = new QLabel(QString::fromUtf8(tilename(code)), table_);
        name->setObjectName(QStringLiteral("name%1").arg(code));
        name->setWordWrap(true);
        name->setFixedWidth(namewidth);
        const int row = k / columns, col = (k % columns) * 3;
        grid_->addWidget(pic, row, col);
        grid_->addWidget(n, row, col + 1);
        grid_->addWidget(name, row, col + 2);
        ++k;
    }
    QString text = captiontext("statsinfotrons").arg(stats.counted).arg(needed);
    // The counter leaves marked infotrons out; the table above has them.
    if (stats.marked > 0) text += u'\n' + captiontext("statsmarked").arg(stats.marked);
    if (stats.unknown) text += u'\n' + captiontext("statsunknown").arg(stats.unknown);
    Label2->setText(text);
    const QSize table = table_->sizeHint();
    scroll_->setMinimumSize(std::min(table.width() + scroll_->verticalScrollBar()->sizeHint().width(), room.width() - 80),
                            std::min(table.height(), room.height() * 2 / 3));
    adjustSize();
    open();
}

int LevelStats::shown(int code) const {
    const auto* n = table_->findChild<QLabel*>(QStringLiteral("count%1").arg(code));
    return n ? n->text().toInt() : -1;
}

QString LevelStats::shownname(int code) const {
    const auto* name = table_->findChild<QLabel*>(QStringLiteral("name%1").arg(code));
    return name ? name->text() : QString();
}

} // namespace tess
