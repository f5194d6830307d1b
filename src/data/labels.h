// The words of every code value the program shows or stores: test methods, test positions,
// faces, curves and standards, so screens, files, reports and the command line agree.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tavolin {

// Shown for a code outside the known ones.
inline constexpr std::u16string_view kUnknownLabel = u"未知";

// `TMETHOD` / `Method` 0, 1, 2; also the words of the "Method   :" key of the files.
inline constexpr std::array<std::u16string_view, 3> kMethodLabels = {u"角测", u"平测", u"对测"};
// `PLANE` 0, 1, 2.
inline constexpr std::array<std::u16string_view, 3> kFaceLabels = {u"侧面", u"顶面", u"底面"};
// `curve` 0, 1, 2.
inline constexpr std::array<std::u16string_view, 3> kCurveLabels = {u"自定义", u"卵石", u"碎石"};
// The standard selector's entries, index 0 and 1.
inline constexpr std::array<std::u16string_view, 2> kStandardLabels = {u"CECS 02:2005",
                                                                       u"TB10426-2004"};

// Test positions (`TESTLOC`) offered for a method: same-side and corner tests, opposite tests.
inline constexpr std::u16string_view kPositionTop = u"顶面";
inline constexpr std::u16string_view kPositionBottom = u"底面";
inline constexpr std::u16string_view kPositionSide = u"侧面";
inline constexpr std::u16string_view kPositionBetween = u"顶面底面间";
inline constexpr std::array<std::u16string_view, 3> kSameSidePositions = {
    kPositionTop, kPositionBottom, kPositionSide};
inline constexpr std::array<std::u16string_view, 2> kOppositePositions = {kPositionSide,
                                                                          kPositionBetween};

// How a point's arrival came about (`PickOrigin` File, Suggested, Review, Hand), as a pane marks
// it: nothing for an arrival as read.
inline constexpr std::array<std::u16string_view, 4> kPickOriginLabels = {
    u"", u"自动判读", u"需人工判读", u"人工判读"};
// The status bar's count of points marked for review: "12 个测点需人工判读".
inline std::u16string reviewCountText(int points) {
    std::u16string text;
    for (char c : std::to_string(points))
        text += static_cast<char16_t>(c);
    return text + u" 个测点需人工判读";
}

// Label of a code, or `unknown` for a code outside the list.
template <size_t N>
constexpr std::u16string_view labelOf(const std::array<std::u16string_view, N>& labels, int code,
                                      std::u16string_view unknown = kUnknownLabel) {
    return code >= 0 && code < static_cast<int>(N) ? labels[static_cast<size_t>(code)] : unknown;
}
// Code of a label, -1 when it is none of them.
template <size_t N>
constexpr int codeOf(const std::array<std::u16string_view, N>& labels, std::u16string_view text) {
    for (size_t i = 0; i < N; ++i)
        if (labels[i] == text)
            return static_cast<int>(i);
    return -1;
}

inline std::u16string methodLabel(int method) {
    return std::u16string(labelOf(kMethodLabels, method));
}
inline std::u16string faceLabel(int face) {
    return std::u16string(labelOf(kFaceLabels, face));
}
inline std::u16string curveLabel(int curve) {
    return std::u16string(labelOf(kCurveLabels, curve));
}
// The selector's name of a standard, "" for another index.
inline std::u16string standardLabel(int standard) {
    return std::u16string(labelOf(kStandardLabels, standard, u""));
}
// Name of a standard in the report heads: "CECS 02：2005" / "TB10426-2004" / "".
std::u16string standardReportName(int standard);

} // namespace tavolin
