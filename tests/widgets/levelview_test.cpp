// SPDX-License-Identifier: MIT
// The level view and the palette, hosted in plain windows, checked by their pixels.
#include "pixels.h"
#include "ui/uitemselect.h"
#include "ui/ulevedit.h"

#include <QScrollBar>
#include <QTest>

#include <memory>

using namespace tess;
using namespace tess::test;

namespace {

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

} // namespace

class LevelViewTest : public QObject {
    Q_OBJECT
    std::unique_ptr<EditorState> s;
    std::unique_ptr<Tlevedit> view;

    void setsize(int tile) {
        s->tiles.tilew = s->tiles.tileh = tile;
        view->calcrowscols();
        view->PaintBox1Paint();
    }
    void setcell(int col, int row, int byte) {
        LevelCells cells = tilesof(s->store().curlevel);
        cells[cellindex(col, row)] = std::uint8_t(byte);
        s->doc.setcells(cells);
    }

private slots:
    void init() {
        s = std::make_unique<EditorState>();
        view = std::make_unique<Tlevedit>(*s);
        view->resize(400, 300);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        setsize(32);
    }
    void cleanup() {
        view.reset();
        s.reset();
    }

    void contentSizeFollowsTheTileSize() {
        const struct {
            int tile, w, h;
        } sizes[] = {{12, 696, 264}, {16, 928, 352}, {24, 1392, 528}, {32, 1856, 704}, {48, 2784, 1056}};
        for (auto c : sizes) {
            setsize(c.tile);
            QCoreApplication::processEvents();
            QCOMPARE(view->PaintBox1->minimumSize(), QSize(c.w, c.h));
            // The surface covers the larger of the content and the visible area.
            QCOMPARE(view->PaintBox1->size(), QSize(c.w, c.h).expandedTo(view->viewport()->size()));
            if (c.w > view->viewport()->width())
                QCOMPARE(view->horizontalScrollBar()->maximum() + view->viewport()->width(), c.w);
        }
    }

    void showsOverlayOverLevelWithMarksInverted() {
        for (int col = 5; col <= 7; ++col) setcell(col, 5, markbit | code_infotron);
        setcell(3, 2, markbit | code_infotron);
        setcell(4, 2, 17);
        view->PaintBox1Paint();
        // A stroke in progress lays a plain value over the middle marked cell.
        s->leftitem = 9;
        view->PaintBox1MouseDown(Button::left, false, 5 * 32, 4 * 32);
        const QImage img = shot(view->PaintBox1);
        QCOMPARE(cellshot(img, *s, 3, 2), cellpicture(*s, 4, true));
        QCOMPARE(cellshot(img, *s, 4, 2), cellpicture(*s, 17, false));
        QCOMPARE(cellshot(img, *s, 5, 5), cellpicture(*s, 4, true));
        QCOMPARE(cellshot(img, *s, 6, 5), cellpicture(*s, 9, false));
        QCOMPARE(cellshot(img, *s, 7, 5), cellpicture(*s, 4, true));
        QCOMPARE(gridshot(img, *s), expectedlevel(*s));
    }

    void borderRingIsNeverShown() {
        for (int col = 0; col < gridcols; ++col) setcell(col, 0, 6), setcell(col, 23, 6);
        for (int row = 0; row < gridrows; ++row) setcell(0, row, 6), setcell(59, row, 6);
        // A stroke anchored in the border ring by a second button pressed
        // left of and above the view lays its value down column 0.
        s->rightitem = 7;
        view->PaintBox1MouseDown(Button::left, false, 0, 0);
        view->PaintBox1MouseDown(Button::right, false, -32, -32);
        view->PaintBox1MouseMove(-32, 21 * 32);
        QCOMPARE(s->layers().overlay[cellindex(0, 22)], 7);
        QCOMPARE(s->layers().overlay[cellindex(1, 1)], notile);
        view->PaintBox1Paint();
        view->putbuffer();
        const QImage img = shot(view->PaintBox1);
        QCOMPARE(gridshot(img, *s), expectedlevel(*s));
        QCOMPARE(cellshot(img, *s, 1, 1), cellpicture(*s, 0, false));
        QCOMPARE(cellshot(img, *s, 58, 22), cellpicture(*s, 0, false));
    }

    void blackBeyondTheGridWhenTheViewIsLarger() {
        LevelCells all;
        all.fill(6);
        s->doc.setcells(all);
        setsize(12);
        view->resize(900, 500);
        QCoreApplication::processEvents();
        QCOMPARE(view->PaintBox1->size(), view->viewport()->size());
        const QImage img = shot(view->PaintBox1);
        QCOMPARE(gridshot(img, *s), expectedlevel(*s));
        for (QPoint p : {QPoint(696, 0), QPoint(880, 100), QPoint(100, 264), QPoint(880, 480)})
            QCOMPARE(img.pixel(todevice(p.x()), todevice(p.y())), qRgb(0, 0, 0));
    }

    void putbufferDrawsOnlyChangedCells() {
        PaintCounter counter;
        view->PaintBox1->installEventFilter(&counter);
        view->putbuffer();
        QCOMPARE(counter.paints, 0); // nothing differs: nothing drawn
        s->leftitem = 5;
        view->PaintBox1MouseDown(Button::left, false, 32, 32); // its putbuffer draws the one cell
        QCOMPARE(counter.paints, 1);
        QCOMPARE(s->layers().screenbuf[cellindex(2, 2)], 5);
        QCOMPARE(cellshot(shot(view->PaintBox1), *s, 2, 2), cellpicture(*s, 5, false));
    }

    void scrollingShowsTheSameContent() {
        setcell(40, 15, markbit | 24);
        view->PaintBox1Paint();
        view->horizontalScrollBar()->setValue(1000);
        view->verticalScrollBar()->setValue(300);
        QCoreApplication::processEvents();
        const QImage img = shot(view->viewport());
        const QPoint at = view->PaintBox1->mapTo(view->viewport(), QPoint(39 * 32, 14 * 32));
        QCOMPARE(img.copy(todevice(QRect(at, QSize(32, 32)))), cellpicture(*s, 24, true));
    }
};

class PaletteTest : public QObject {
    Q_OBJECT
    std::unique_ptr<EditorState> s;
    std::unique_ptr<Titemselect> pal;

    void setsize(int tile) {
        s->tiles.tilew = s->tiles.tileh = tile;
        pal->calcrowscols();
        QCoreApplication::processEvents();
    }
    QPoint topleft(int i) const {
        const int t = s->tiles.tilew, p = 3 * t / 2;
        return {t / 2 + p * (i % pal->cols), t / 2 + p * (i / pal->cols)};
    }
    // The colour of the outline ring d pixels outside picture i (d = 1, 2, 3).
    // A pixel of the rings is a whole number u of screen pixels.
    QRgb ring(const QImage& img, int i, int d) const {
        const QRect pic = todevice(QRect(topleft(i), QSize(s->tiles.tilew, s->tiles.tileh)));
        const int u = std::max(1, qRound(ratio()));
        const QRgb c = img.pixel(pic.left() - d * u, pic.top() - d * u);
        // The whole ring, all its screen pixels on all four sides, has that colour.
        for (int e = (d - 1) * u + 1; e <= d * u; ++e) {
            const QRect r = pic.adjusted(-e, -e, e, e);
            for (int k = 0; k < r.width(); ++k)
                if (img.pixel(r.left() + k, r.top()) != c || img.pixel(r.left() + k, r.bottom()) != c ||
                    img.pixel(r.left(), r.top() + k) != c || img.pixel(r.right(), r.top() + k) != c)
                    return 0x12345678;
        }
        return c;
    }

private slots:
    void init() {
        s = std::make_unique<EditorState>();
        pal = std::make_unique<Titemselect>(*s);
        pal->resize(130, 300);
        pal->show();
        QVERIFY(QTest::qWaitForWindowExposed(pal.get()));
        setsize(32);
    }
    void cleanup() {
        pal.reset();
        s.reset();
    }

    void layoutForEveryTileSize() {
        const struct {
            int tile, cols, rows, height;
        } table[] = {{12, 6, 8, 156}, {16, 4, 11, 280}, {24, 2, 22, 816}, {32, 2, 22, 1088}, {48, 1, 44, 3216}};
        for (auto c : table) {
            setsize(c.tile);
            QCOMPARE(pal->cols, c.cols);
            QCOMPARE(pal->rows, c.rows);
            QCOMPARE(pal->contentheight(), c.height);
            QCOMPARE(pal->PaintBox1->height(), std::max(c.height, pal->viewport()->height()));
        }
    }

    void picturesStandAtOneAndAHalfTilePitch() {
        const QImage img = shot(pal->PaintBox1);
        QCOMPARE(pal->cols, 2);
        for (int i : {0, 1, 2, 7, 26, 43}) {
            QCOMPARE(topleft(i), QPoint(16 + 48 * (i % 2), 16 + 48 * (i / 2)));
            QCOMPARE(img.copy(todevice(QRect(topleft(i), QSize(32, 32)))), cellpicture(*s, i, false));
        }
    }

    void outlinesMarkTheTwoChoices() {
        const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255), black = qRgb(0, 0, 0);
        QImage img = shot(pal->PaintBox1);
        QCOMPARE(ring(img, 2, 3), red);
        QCOMPARE(ring(img, 2, 2), red);
        QCOMPARE(ring(img, 2, 1), black);
        QCOMPARE(ring(img, 0, 3), blue);
        QCOMPARE(ring(img, 0, 2), blue);
        QCOMPARE(ring(img, 0, 1), black);
        QCOMPARE(ring(img, 5, 3), black);
        QCOMPARE(ring(img, 5, 2), black);

        // Left choice on the right choice's picture: red outside, blue inside.
        pal->PaintBox1MouseDown(Qt::LeftButton, topleft(0).x(), topleft(0).y());
        QCOMPARE(s->leftitem, 0);
        img = shot(pal->PaintBox1);
        QCOMPARE(ring(img, 0, 3), red);
        QCOMPARE(ring(img, 0, 2), blue);
        QCOMPARE(ring(img, 2, 3), black);
        // Another right choice leaves picture 0 plain red.
        pal->PaintBox1MouseDown(Qt::RightButton, topleft(5).x(), topleft(5).y());
        QCOMPARE(s->rightitem, 5);
        img = shot(pal->PaintBox1);
        QCOMPARE(ring(img, 0, 3), red);
        QCOMPARE(ring(img, 0, 2), red);
        QCOMPARE(ring(img, 5, 2), blue);
    }

    void clicksChooseThePitchCellUnderThePointer() {
        struct Click {
            Qt::MouseButton button;
            int x, y;
            int left, right; // expected choices after the click
        };
        const Click clicks[] = {
            {Qt::LeftButton, 16, 16, 0, 0},           // top-left corner of picture 0
            {Qt::LeftButton, 16 + 47, 16 + 47, 0, 0}, // the gap right of and below it
            {Qt::MiddleButton, 64, 16, 1, 0},         // middle acts like left
            {Qt::RightButton, 70, 70, 1, 3},
            {Qt::LeftButton, 15, 40, 1, 3},           // left margin: nothing
            {Qt::LeftButton, 40, 15, 1, 3},           // top margin: nothing
            {Qt::LeftButton, 16 + 96, 40, 1, 3},      // right of the last column
            {Qt::LeftButton, 40, 16 + 48 * 22, 1, 3}, // below the last row
            {Qt::RightButton, 64, 16 + 48 * 21, 1, 43},
        };
        for (const Click& c : clicks) {
            pal->PaintBox1MouseDown(c.button, c.x, c.y);
            QCOMPARE(s->leftitem, c.left);
            QCOMPARE(s->rightitem, c.right);
        }
        // At tile size 12 the last row holds 42 and 43 only.
        setsize(12);
        for (int col = 2; col < 6; ++col) {
            pal->PaintBox1MouseDown(Qt::LeftButton, 6 + 18 * col, 6 + 18 * 7);
            QCOMPARE(s->leftitem, 1);
        }
        pal->PaintBox1MouseDown(Qt::LeftButton, 6 + 18 * 1, 6 + 18 * 7);
        QCOMPARE(s->leftitem, 43);
    }

    void repaintsOnlyWhenAChoiceChanges() {
        PaintCounter counter;
        pal->PaintBox1->installEventFilter(&counter);
        pal->PaintBox1MouseDown(Qt::LeftButton, 16, 16 + 48); // picture 2, already chosen
        QCOMPARE(counter.paints, 0);
        pal->PaintBox1MouseDown(Qt::RightButton, 16, 16); // picture 0, already chosen
        QCOMPARE(counter.paints, 0);
        pal->PaintBox1MouseDown(Qt::LeftButton, 16, 16);
        QCOMPARE(counter.paints, 1);
    }

    void outlinesStayOnTheirCodesAfterAZoom() {
        s->leftitem = 9;
        s->rightitem = 30;
        for (int tile : {12, 16, 24, 48}) {
            setsize(tile);
            const QImage img = shot(pal->PaintBox1);
            QCOMPARE(ring(img, 9, 3), qRgb(255, 0, 0));
            QCOMPARE(ring(img, 30, 3), qRgb(0, 0, 255));
            QCOMPARE(img.copy(todevice(QRect(topleft(30), QSize(tile, tile)))), cellpicture(*s, 30, false));
        }
    }

    void narrowPaletteKeepsOneColumn() {
        pal->setFixedWidth(60);
        setsize(48);
        QCOMPARE(pal->cols, 1);
        QCOMPARE(pal->rows, 44);
        pal->PaintBox1MouseDown(Qt::LeftButton, 30, 24 + 72 * 3);
        QCOMPARE(s->leftitem, 3);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int status = 0;
    LevelViewTest view;
    status |= QTest::qExec(&view, argc, argv);
    PaletteTest palette;
    status |= QTest::qExec(&palette, argc, argv);
    return status;
}

#include "levelview_test.moc"
