// The words of the movie preview are language texts of the program. The
// program hands them to the library (SetPreviewTexts, UTF-8, in the order of
// PreviewText) before it asks for a pick; until then the library speaks
// English.
#pragma once

namespace zv::preview {

enum PreviewText : int {
    kTitle,
    kVideoPlaceholder,
    kVideoName,
    kOpenVideo,
    kFindTheMoment,
    kPosition,
    kPlay,
    kPause,
    kBackFrame,
    kNextFrame,
    kFrameWord,
    kFpsWord,
    kUseThisMoment,
    kOpenToBegin,
    kNoSuchFile,
    kOpening,
    kCannotPlay,
    kVideoFiles,
    kAllFiles,
    kCancel,
    kCheckTitle,
    kCheckHint,
    kClose,
    kPreviewTextCount
};

// The language text of each word, in that order.
inline constexpr int kPreviewTextNumbers[kPreviewTextCount] = {213, 214, 215, 216, 217, 218, 219, 220,
                                                               221, 222, 223, 224, 225, 226, 227, 228,
                                                               229, 142, 141, 21,  449, 450, 364};

} // namespace zv::preview
