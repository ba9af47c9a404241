#include "ui/QVFileDrop.h"

#include <gtest/gtest.h>

#include <QMimeData>
#include <QUrl>

namespace {

std::string Dropped(const QList<QUrl>& urls) {
  QMimeData data;
  if (!urls.isEmpty()) data.setUrls(urls);
  return qv::DroppedFile(data);
}

}  // namespace

TEST(QVFileDrop, TakesExactlyOneLocalFile) {
  const QUrl local = QUrl::fromLocalFile(QStringLiteral("/tmp/プロジェクト.png"));
  EXPECT_EQ(Dropped({local}), "/tmp/プロジェクト.png");
  EXPECT_EQ(Dropped({}), "");
  EXPECT_EQ(Dropped({local, local}), "");
  EXPECT_EQ(Dropped({QUrl(QStringLiteral("https://example.invalid/a.qvl"))}), "");
  QMimeData text;
  text.setText(QStringLiteral("/tmp/a.qvl"));
  EXPECT_EQ(qv::DroppedFile(text), "");
}
