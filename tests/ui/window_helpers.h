#pragma once

#include "skin/image_button.h"
#include "skin/item_rows.h"

#include <QListWidget>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

namespace twtest {

// A control of a window by its object name; a missing one fails the test.
template <class T> T* Child(const QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

inline void Click(const QWidget& window, const char* button) {
    QTest::mouseClick(Child<tw::TImageButton>(window, button), Qt::LeftButton);
}

// The captions of a list box's rows that show an item (not the filler rows).
inline QStringList Captions(const QListWidget& box) {
    QStringList captions;
    for (int row = 0; row < box.count(); ++row) {
        if (tw::RowItem(box, row) != nullptr) {
            captions << box.item(row)->text();
        }
    }
    return captions;
}

// A press on the check mark at the right end of the row with this caption.
inline void ClickCheckMark(QListWidget& box, const QString& caption) {
    const auto rows = box.findItems(caption, Qt::MatchExactly);
    ASSERT_EQ(rows.size(), 1) << caption.toStdString();
    const QRect place = box.visualItemRect(rows.first());
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {},
                      QPoint(place.right() - 6, place.center().y()));
}

} // namespace twtest
