// Rendering through the document: a picture without memory is asked for again.
#include <gtest/gtest.h>

#include "FakeHost.h"
#include "model/Document.h"

namespace velmora {
namespace {

TEST(DocumentRender, EveryRenderAfterAFailedAllocationSaysWhyAgain) {
    test::FakeHost host;
    host.allowMessages = true;
    Document doc(host);
    doc.onNewDocument();
    doc.setResolution(2000000000, 2000000000);
    ASSERT_EQ(host.messages.size(), 1u);
    for (std::size_t attempt = 2; attempt <= 3; ++attempt) {
        EXPECT_EQ(doc.renderImage(), 0);
        ASSERT_EQ(host.messages.size(), attempt);
        EXPECT_EQ(host.messages.back().text, "Not enough memory for bitmap.");
    }
    // Back at a size that fits, the render works at once.
    doc.setResolution(8, 8);
    EXPECT_EQ(doc.renderImage(), 1);
}

}  // namespace
}  // namespace velmora
