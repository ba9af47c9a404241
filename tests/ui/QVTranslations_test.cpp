// The English translation is complete: every text of the editor's sources is
// in ui/translations/qvell_en.ts (scripts/update-translations keeps it
// current), each with a finished translation that keeps the source's
// placeholders, and the program carries exactly these translations.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <map>
#include <set>
#include <string>
#include <utility>

namespace {

struct Message {
  QString Context, Source, Translation, Type;
};

std::vector<Message> ReadTs(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  QXmlStreamReader xml(&file);
  std::vector<Message> messages;
  QString context;
  Message current;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement()) continue;
    if (xml.name() == QLatin1String("name")) {
      context = xml.readElementText();
    } else if (xml.name() == QLatin1String("message")) {
      current = Message{context, {}, {}, {}};
    } else if (xml.name() == QLatin1String("source")) {
      current.Source = xml.readElementText();
    } else if (xml.name() == QLatin1String("translation")) {
      current.Type = xml.attributes().value(QLatin1String("type")).toString();
      current.Translation = xml.readElementText();
      messages.push_back(current);
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return messages;
}

std::set<std::pair<QString, QString>> Keys(const std::vector<Message>& messages) {
  std::set<std::pair<QString, QString>> keys;
  for (const Message& m : messages) keys.insert({m.Context, m.Source});
  return keys;
}

std::set<std::string> Placeholders(const QString& text) {
  std::set<std::string> found;
  static const QRegularExpression placeholder(QStringLiteral("%\\d+"));
  for (const QRegularExpressionMatch& m : placeholder.globalMatch(text)) {
    found.insert(m.captured().toStdString());
  }
  return found;
}

const QString kTsFile = QStringLiteral(QV_SOURCE_DIR "/ui/translations/qvell_en.ts");

TEST(QVTranslations, EveryTextHasAFinishedEnglishTranslation) {
  const std::vector<Message> messages = ReadTs(kTsFile);
  ASSERT_GT(messages.size(), 100u);
  for (const Message& m : messages) {
    const std::string where = m.Context.toStdString() + ": " + m.Source.toStdString();
    EXPECT_TRUE(m.Type.isEmpty()) << where << " is " << m.Type.toStdString();
    EXPECT_FALSE(m.Translation.trimmed().isEmpty()) << where;
    EXPECT_EQ(Placeholders(m.Translation), Placeholders(m.Source)) << where;
  }
}

// lupdate over the sources finds exactly the texts of the .ts: none is new
// (untranslated) and none is left over.
TEST(QVTranslations, TsFileHoldsEveryTextOfTheSources) {
  QTemporaryDir scratch;
  const QString fresh = scratch.filePath(QStringLiteral("fresh.ts"));
  QProcess lupdate;
  lupdate.setWorkingDirectory(QStringLiteral(QV_SOURCE_DIR));
  lupdate.start(QStringLiteral(QV_LUPDATE),
                {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                 QStringLiteral("-I"), QStringLiteral("."), QStringLiteral("ui"),
                 QStringLiteral("app"), QStringLiteral("-ts"), fresh});
  ASSERT_TRUE(lupdate.waitForFinished(120000));
  ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
  const auto expected = Keys(ReadTs(fresh)), kept = Keys(ReadTs(kTsFile));
  for (const auto& [context, source] : expected) {
    EXPECT_TRUE(kept.count({context, source}))
        << context.toStdString() << ": '" << source.toStdString()
        << "' is not in qvell_en.ts; run scripts/update-translations and translate it";
  }
  for (const auto& [context, source] : kept) {
    EXPECT_TRUE(expected.count({context, source}))
        << context.toStdString() << ": '" << source.toStdString()
        << "' is in no source any more; run scripts/update-translations";
  }
}

// The program carries the compiled .ts: each text translates as written there.
TEST(QVTranslations, ProgramCarriesEveryTranslation) {
  QTranslator translator;
  ASSERT_TRUE(translator.load(QStringLiteral(":/translations/qvell_en.qm")));
  int checked = 0;
  for (const Message& m : ReadTs(kTsFile)) {
    const QByteArray context = m.Context.toUtf8(), source = m.Source.toUtf8();
    EXPECT_EQ(translator.translate(context.constData(), source.constData()), m.Translation)
        << m.Context.toStdString() << ": " << m.Source.toStdString();
    ++checked;
  }
  EXPECT_GT(checked, 100);
}

}  // namespace
