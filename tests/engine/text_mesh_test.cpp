#include "engine/PimTextMesh.h"

#include <gtest/gtest.h>

TEST(PimTextMesh, MeasuresLinesAndColumns)
{
    PimTextMesh mesh;
    EXPECT_EQ(mesh.GetColumns(), 0);
    EXPECT_EQ(mesh.GetLines(), 0);
    mesh.SetText(L"AB\r\nCDE\n");
    EXPECT_EQ(mesh.GetColumns(), 3);
    EXPECT_EQ(mesh.GetLines(), 3);
    mesh.SetText(L"\u20AC 1");  // a character without a cell still takes its column
    EXPECT_EQ(mesh.GetColumns(), 3);
    EXPECT_EQ(mesh.GetLines(), 1);
    mesh.SetText(L"");
    EXPECT_EQ(mesh.GetColumns(), 0);
    EXPECT_EQ(mesh.GetLines(), 0);
}
