#include <gtest/gtest.h>

#include "FakeHost.h"
#include "model/VelmoraDoc.h"
#include "palette/DefaultPalette.h"
#include "platform/FramesFolder.h"

using namespace velmora;
using velmora::test::FakeHost;

namespace {

Keyframe MakeKeyframe(std::int32_t transitions) {
    Keyframe k;
    k.transitions = transitions;
    return k;
}

TEST(Document, NewDocumentHasTheDefaults) {
    FakeHost host;
    CVelmoraDoc doc(host);
    ASSERT_TRUE(doc.OnNewDocument());
    const FractalParams& p = doc.m_params;
    EXPECT_EQ(p.left, -2.0);
    EXPECT_EQ(p.right, 2.0);
    EXPECT_EQ(p.top, -1.5);
    EXPECT_EQ(p.bottom, 1.5);
    EXPECT_EQ(p.type, FractalType::Mandelbrot);
    EXPECT_EQ(p.cReal, 0.3);
    EXPECT_EQ(p.cImag, 0.6);
    EXPECT_EQ(p.iterations, 201);
    EXPECT_EQ(p.width, 300);
    EXPECT_EQ(p.height, 300);
    EXPECT_EQ(doc.m_animWidth, 100);
    EXPECT_EQ(doc.m_animHeight, 100);
    EXPECT_EQ(doc.m_destFolder, DefaultFramesFolder());
    EXPECT_EQ(doc.m_tweenStyle, TweenStyle::ConstantSpeed);
    EXPECT_EQ(doc.m_playbackStyle, PlaybackStyle::Forwards);
    EXPECT_EQ(doc.GetKeyframeCount(), 0);
    EXPECT_FALSE(doc.m_bRendered);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetTitle(), "Untitled");
    ASSERT_NE(doc.m_pEngine, nullptr);
    EXPECT_EQ(doc.m_pEngine->GetWidth(), 300);
    EXPECT_EQ(doc.m_pEngine->GetHeight(), 300);
    EXPECT_EQ(doc.m_pEngine->GetIterations(), 201);
    EXPECT_FALSE(doc.m_pEngine->IsValid());
}

TEST(Document, DefaultFramesFolderIsAbsoluteAndEndsWithSeparator) {
    const std::string f = DefaultFramesFolder();
    ASSERT_GE(f.size(), 6u);
    EXPECT_EQ(f.back(), PathSeparator());
    EXPECT_NE(f.find("anim"), std::string::npos);
#ifndef _WIN32
    EXPECT_EQ(f.front(), '/');
#endif
}

TEST(Document, NewKeepsThePaletteUntilTheViewReplacesIt) {
    FakeHost host;
    CVelmoraDoc doc(host);
    doc.OnNewDocument();
    doc.m_palette.SetEntry(0, RgbQuad{1, 2, 3, 9});
    doc.m_keyframes.push_back(MakeKeyframe(4));
    doc.m_params.iterations = 7;
    doc.OnNewDocument();
    EXPECT_EQ(doc.m_palette.Entry(0), (RgbQuad{1, 2, 3, 9}));
    EXPECT_EQ(doc.GetKeyframeCount(), 0);
    EXPECT_EQ(doc.m_params.iterations, 201);
    doc.LoadDefaultPalette();
    EXPECT_EQ(doc.m_palette, DefaultPalette());
    ASSERT_NE(doc.m_pPalette.Get(), nullptr);
    EXPECT_EQ(doc.m_pPalette.Get()->entries[0].peFlags, 0);
}

TEST(Document, KeyframeQueriesAndTotalFrames) {
    FakeHost host;
    CVelmoraDoc doc(host);
    doc.OnNewDocument();
    EXPECT_EQ(doc.GetTotalFrames(), 0);
    EXPECT_EQ(doc.GetKeyframe(0), nullptr);
    doc.m_keyframes.push_back(MakeKeyframe(10));
    EXPECT_EQ(doc.GetTotalFrames(), 0);  // one keyframe is no animation
    doc.m_keyframes.push_back(MakeKeyframe(5));
    doc.m_keyframes.push_back(MakeKeyframe(7));
    EXPECT_EQ(doc.GetKeyframeCount(), 3);
    EXPECT_EQ(doc.GetTotalFrames(), 15);  // the last count is not added
    EXPECT_EQ(doc.GetKeyframe(1)->transitions, 5);
    EXPECT_EQ(doc.GetKeyframe(3), nullptr);
    EXPECT_EQ(doc.GetKeyframe(-1), nullptr);
}

TEST(Document, TotalFramesSaturatesInsteadOfWrapping) {
    FakeHost host;
    CVelmoraDoc doc(host);
    doc.OnNewDocument();
    for (int i = 0; i < 3; ++i) doc.m_keyframes.push_back(MakeKeyframe(2000000000));
    EXPECT_EQ(doc.GetTotalFrames(), 2147483647);
}

TEST(Document, RenderCountsAsRenderedEvenWhenCancelled) {
    FakeHost host;
    CVelmoraDoc doc(host);
    doc.OnNewDocument();
    doc.SetResolution(20, 64);
    host.cancelAt = [](int n) { return n == 1; };
    EXPECT_EQ(doc.RenderImage(), 0);
    EXPECT_TRUE(doc.m_bRendered);
    EXPECT_FALSE(doc.m_pEngine->IsValid());
}

TEST(Document, SetResolutionAlwaysReplacesTheEngine) {
    FakeHost host;
    CVelmoraDoc doc(host);
    doc.OnNewDocument();
    doc.SetResolution(30, 20);
    ASSERT_EQ(doc.RenderImage(), 1);
    EXPECT_TRUE(doc.m_pEngine->IsValid());
    doc.SetResolution(30, 20);
    EXPECT_FALSE(doc.m_pEngine->IsValid());
    EXPECT_TRUE(doc.m_bRendered);  // left as it was
    EXPECT_EQ(doc.GetWidth(), 30);
    EXPECT_EQ(doc.GetHeight(), 20);
}

TEST(Document, SetRegionStoresUnorderedAndLoadsTheEngine) {
    FakeHost host;
    CVelmoraDoc doc(host);
    doc.OnNewDocument();
    doc.SetRegion(1.0, 0.5, -1.0, -0.5);
    EXPECT_EQ(doc.m_params.left, 1.0);
    EXPECT_EQ(doc.m_params.right, -1.0);
    EXPECT_EQ(doc.m_pEngine->GetXMin(), -1.0);
    EXPECT_EQ(doc.m_pEngine->GetYMax(), 0.5);
}

}  // namespace
