#include "platform/text/FontFace.h"

#include <gtest/gtest.h>

#include <new>

namespace quellmoor::text {
namespace {

TEST(FontFaceTest, AHolderThatFailsLeavesNoFaceOpen) {
    const int before = testing::OpenFaceCount();
    testing::FailNextFaceHolder();
    // A height no other test asks for, so the face is really opened here.
    EXPECT_THROW(FontFace::Get("DejaVu Sans", 137), std::bad_alloc);
    EXPECT_EQ(testing::OpenFaceCount(), before);
    const auto face = FontFace::Get("DejaVu Sans", 137);
    EXPECT_EQ(face->LineHeight(), 137);
    EXPECT_EQ(testing::OpenFaceCount(), before + 1);
    EXPECT_EQ(FontFace::Get("DejaVu Sans", 137), face);  // kept, not opened again
    EXPECT_EQ(testing::OpenFaceCount(), before + 1);
}

}  // namespace
}  // namespace quellmoor::text
