#include "imageList.h"
#include "jpegFixtures.h"

#include <gtest/gtest.h>

TEST(ImageList, StartsEmpty) {
    browser::ImageList list;
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(list.fileIndex(), 0);
}
