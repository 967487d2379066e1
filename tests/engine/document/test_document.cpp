#include "document/Document.h"
#include "imaging/Error.h"
#include "layers/ImageLayer.h"

#include <gtest/gtest.h>

using namespace ie;

namespace {

Document grey(int w, int h, std::uint8_t v) {
    Bitmap b(w, h, PixelFormat::Rgb24);
    b.fill({ v, v, v, 255 });
    return Document(b);
}

Bitmap& bitmapOf(Document& d, int i) {
    return dynamic_cast<ImageLayer&>(d.layers().layer(i)).bitmap;
}

} // namespace

TEST(Document, UndoRedoWalkTheNamedSteps) {
    Document d = grey(8, 8, 0);
    for (int step = 1; step <= 3; ++step) {
        d.saveUndo(QString("step %1").arg(step));
        bitmapOf(d, 0).fill({ std::uint8_t(step * 10), 0, 0, 255 });
    }
    EXPECT_EQ(d.undoStack().undoCount(), 3);
    EXPECT_EQ(d.undoStack().undoCaption(2), "step 3");
    d.undo();
    EXPECT_EQ(bitmapOf(d, 0).pixel(0, 0).r, 20);
    EXPECT_EQ(d.undoStack().redoCaption(0), "step 3");
    d.undoTo(0);
    EXPECT_EQ(bitmapOf(d, 0).pixel(0, 0).r, 0);
    EXPECT_EQ(d.undoStack().redoCount(), 3);
    d.redoTo(0);
    EXPECT_EQ(bitmapOf(d, 0).pixel(0, 0).r, 30);
    EXPECT_TRUE(d.isModified());
    // A new step clears the redo list.
    d.undo();
    d.saveUndo("other");
    EXPECT_FALSE(d.canRedo());
    EXPECT_THROW(d.redo(), Error);
}

TEST(Document, LimitDropsTheOldestSteps) {
    Document d = grey(4, 4, 0);
    for (int i = 0; i < 25; ++i)
        d.saveUndo(QString::number(i));
    EXPECT_EQ(d.undoStack().undoCount(), 20);
    EXPECT_EQ(d.undoStack().undoCaption(0), "5");
}

TEST(Document, RegionStepsKeepOnlyTheirRectangle) {
    Document d = grey(3000, 2000, 50);
    d.saveUndoRegion("Brush", 0, { 100, 100, 200, 200 });
    EXPECT_LT(d.undoStack().privateBytes(), std::size_t(1) << 20);
    bitmapOf(d, 0).fillRect({ 100, 100, 200, 200 }, { 255, 0, 0, 255 });
    d.undo();
    EXPECT_EQ(bitmapOf(d, 0).pixel(150, 150), (Rgba { 50, 50, 50, 255 }));
    d.redo();
    EXPECT_EQ(bitmapOf(d, 0).pixel(150, 150), (Rgba { 255, 0, 0, 255 }));
    EXPECT_EQ(bitmapOf(d, 0).pixel(50, 50), (Rgba { 50, 50, 50, 255 }));
    d.layers().add(std::make_unique<ImageLayer>(Bitmap(2, 2, PixelFormat::Rgb24)));
    EXPECT_NO_THROW(d.saveUndoRegion("x", 1, { 0, 0, 5, 5 }));
}

TEST(Document, TransactionRollsBackUnlessCommitted) {
    Document d = grey(4, 4, 7);
    {
        UndoTransaction t(d, "Fill");
        bitmapOf(d, 0).fill({ 1, 1, 1, 255 });
        d.selection().selectAll();
    }
    EXPECT_EQ(bitmapOf(d, 0).pixel(0, 0).r, 7);
    EXPECT_TRUE(d.selection().isEmpty());
    EXPECT_FALSE(d.canUndo());
    {
        UndoTransaction t(d, "Fill");
        bitmapOf(d, 0).fill({ 1, 1, 1, 255 });
        t.commit();
    }
    EXPECT_EQ(bitmapOf(d, 0).pixel(0, 0).r, 1);
    EXPECT_EQ(d.undoStack().undoCaption(0), "Fill");
    d.undo();
    EXPECT_EQ(bitmapOf(d, 0).pixel(0, 0).r, 7);
}

TEST(Document, AssignCopiesEverythingButHistory) {
    Document a = grey(5, 5, 9);
    a.description = "VersionName=Sky;";
    a.dpiX = 300;
    a.saveUndo("x");
    Document b;
    b.assign(a);
    EXPECT_EQ(b.description, a.description);
    EXPECT_EQ(b.dpiX, 300);
    EXPECT_FALSE(b.canUndo());
    bitmapOf(b, 0).fill({ 0, 0, 0, 255 });
    EXPECT_EQ(bitmapOf(a, 0).pixel(0, 0).r, 9);
}
