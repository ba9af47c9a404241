#include "ui/QVEntryMarks.h"

#include <QLineEdit>
#include <QPalette>
#include <QSignalBlocker>
#include <algorithm>

#include "ui/QVStatusLine.h"
#include "ui/QVText.h"

namespace {

// Set on a box while it is marked, for the commit's own check.
constexpr const char* kRefused = "qvRefused";

}  // namespace

void QVEntryMarks::Watch(QLineEdit* box, std::function<void()> check,
                         std::function<void()> commit) {
  QObject::connect(box, &QLineEdit::textChanged, box, std::move(check));
  QObject::connect(box, &QLineEdit::editingFinished, box, std::move(commit));
  // Committed typing is no longer pending (undo then belongs to the project);
  // refused typing is.
  QObject::connect(box, &QLineEdit::editingFinished, box, [box] {
    if (!box->property(kRefused).toBool()) box->setModified(false);
  });
}

void QVEntryMarks::SetStatusLine(QVStatusLine* label) {
  status_ = label;
  ShowStatus();
}

namespace {

// The box's own tool tip, kept while its mark's message stands in its place.
constexpr char kOwnToolTip[] = "QVOwnToolTip";

}  // namespace

void QVEntryMarks::Mark(QLineEdit* box, const std::string& message) {
  const bool wasMarked = Marked(box);
  std::erase_if(marked_, [box](const Entry& e) { return e.Box == box; });
  box->setProperty(kRefused, !message.empty());
  if (message.empty()) {
    box->setPalette(QPalette());
    if (wasMarked) box->setToolTip(box->property(kOwnToolTip).toString());
  } else {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, QColor(255, 176, 176));
    box->setPalette(palette);
    if (!wasMarked) box->setProperty(kOwnToolTip, box->toolTip());
    box->setToolTip(qv::ToQString(message));
    marked_.push_back({box, message});
  }
  ShowStatus();
}

void QVEntryMarks::Show(QLineEdit* box, const std::string& text) {
  {
    const QSignalBlocker block(box);
    box->setText(qv::ToQString(text));
  }
  Mark(box, "");
}

std::optional<double> QVEntryMarks::Real(QLineEdit* box) {
  return Check(box, QVNumberEntry::ToReal(qv::FromQString(box->text())));
}

bool QVEntryMarks::Marked(const QLineEdit* box) const {
  return std::any_of(marked_.begin(), marked_.end(),
                     [box](const Entry& e) { return e.Box == box; });
}

std::string QVEntryMarks::Status() const { return marked_.empty() ? "" : marked_.back().Message; }

void QVEntryMarks::ShowStatus() {
  if (status_) status_->SetMessage(qv::ToQString(Status()));
}
