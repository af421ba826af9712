#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

#include "markets/ListView.h"
#include "support/TestEnvironment.h"
#include "quote/SecurityRecord.h"

class CMainFrame;

namespace list_test {

using Strings = std::vector<std::string>;

SecurityRecord Record(const std::string& company, const std::string& symbol, const std::string& volume = "100",
                      const std::string& listed = "N");

// A symbol-list row line (longer than 50 bytes) for four non-empty texts.
std::string FileLine(const std::string& company, const std::string& symbol, const std::string& volume,
                     const std::string& listed);

// The texts a list shows in the column, top to bottom.
Strings Shown(const CListView_& view, int column);
Strings Symbols(const SecurityArray& rows);

// Resets the process-wide state the list windows share, as at start-up
// (sort by company ascending; window kind at rest).
void ResetListState();

// A list view that records the rows it would open instead of opening quote
// windows, with the busy-cursor depth at that moment.
class RecordingListView : public CListView_ {
public:
    void OpenRow(SecurityRecord& record) override;

    SecurityArray m_opened;
    std::vector<int> m_waitDepths;
};

// Answers the next find dialog: types the text and confirms it, or cancels
// it when there is no text. Stops looking when destroyed.
class FindDialogAnswer {
public:
    explicit FindDialogAnswer(std::optional<std::string> text);
    ~FindDialogAnswer();
    FindDialogAnswer(const FindDialogAnswer&) = delete;
    FindDialogAnswer& operator=(const FindDialogAnswer&) = delete;

    bool Answered() const { return m_bAnswered; }

private:
    QTimer m_timer;
    bool m_bAnswered = false;
};

}  // namespace list_test
