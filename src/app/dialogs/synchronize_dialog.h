// Synchronize (114): two subtitles, one from each half of the file, and the
// true time of each; OK stretches every time between them.
#pragma once

#include "app/dialogs/dialog_parts.h"
#include "app/movie_preview.h"
#include "engine/context.h"
#include "engine/formats/format_handler.h"
#include "engine/operations/frame_rate_change.h"
#include "engine/operations/piecewise_sync.h"
#include "engine/standard_file.h"
#include "media/film_reference.h"

#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zv::app {

class TimeEntryPane;

class SynchronizeDialog : public CommandDialog {
    Q_OBJECT
public:
    // encoding: the open file's, in which the lists show its texts.
    SynchronizeDialog(zv::Context& ctx, zv::FormatHandler& handler, QWidget* parent,
                      const std::string& encoding = {});
    ~SynchronizeDialog() override;

    TimeEntryPane* pane(int number) const { return panes_[number == 2 ? 1 : 0]; }
    long old1() const { return old_[0]; }
    long old2() const { return old_[1]; }

    // Lines the open file up with a correctly timed file of the same film:
    // selects two subtitles far apart and fills both panes with their new
    // times, which the user may still change. False when nothing changed
    // (the file could not be read or does not fit; the user was told).
    bool TakeTimesFrom(const std::string& path);

    // Lines the open file up with the film's own speech. One offset for the
    // whole film fills both panes as a timed file does; a film cut otherwise
    // than the subtitles lists its cuts, and OK then moves every part by its
    // own offset. False when nothing changed (cancelled, unreadable, or the
    // subtitles do not fit the film; the user was told).
    bool TakeTimesFromMovie(const std::string& path);

    // What reads the film's sound, on a worker thread; the media library's
    // reader unless a test hands another.
    using SpeechReader = zv::media::SpeechReaderFunction;
    void SetSpeechReader(SpeechReader reader) { readSpeech_ = std::move(reader); }
    // What shows the moved subtitles over the film; the preview library's
    // window unless a test hands another.
    using MovieChecker = std::function<void(const QString& movie, const std::vector<CheckedSubtitle>& shown)>;
    void SetMovieChecker(MovieChecker checker) { checkMovie_ = std::move(checker); }
    // The subtitles as the film's map moves them, in the film's milliseconds;
    // empty unless the times came from the film and still stand.
    std::vector<CheckedSubtitle> MovedForCheck() const;
    // The map OK applies instead of the two points, when the film has cuts.
    const std::optional<zv::PiecewiseTimeMap>& movieMap() const { return movieMap_; }

private:
    void OnSelection(int list);
    void OnTakeTimes();
    void OnTakeTimesFromMovie();
    // Selects the two subtitles and shows their new times.
    bool ShowPoints(const long index[2], const long newTime[2]);
    // Any change of the user's to the points drops the film's map.
    void OnPointsEdited();
    // text: what the times were taken from, filled with the score.
    void ShowTaken(const zv::TimeMapFinding& finding, int text);
    void DropMovieMap();
    void CheckInMovie();
    double TargetFrameRate() const;
    double TargetUnitsPerSecond() const;
    void OnMovieRequested(int number);
    void ShowFinding();
    void RunSynchronize();

    zv::FormatHandler& handler_;
    zv::StandardRecordList records_;
    long half_ = 0;
    long old_[2] = {0, 0};
    bool selected_[2] = {false, false};
    QListWidget* lists_[2] = {}; // 1127, 1128
    TimeEntryPane* panes_[2] = {};
    QLabel* finding_ = nullptr;
    QLabel* taken_ = nullptr;       // what the timed file gave
    QLineEdit* frameRate_ = nullptr; // where MicroDvd frames meet times
    QLabel* frameRateLabel_ = nullptr;
    QCheckBox* exact_ = nullptr;
    QPushButton* ok_ = nullptr;
    QLabel* cutsNote_ = nullptr;     // 1191
    QListWidget* cuts_ = nullptr;    // 1192
    QPushButton* check_ = nullptr;   // 1193
    std::optional<zv::PiecewiseTimeMap> movieMap_;
    std::optional<zv::FrameRateChange> movieChange_; // the known change the map's speed shows
    std::optional<zv::PiecewiseTimeMap> checkMap_; // the film's map, cuts or not, while it stands
    std::string moviePath_;
    std::string encoding_;
    MovieChecker checkMovie_;
    bool filling_ = false; // the dialog itself sets the points
    SpeechReader readSpeech_;
};

} // namespace zv::app
