#include "support/RealDrags.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QProcessEnvironment>

bool RealDragsHere() {
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) return true;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("minimal"));
  // The child runs this one test whole and reports nowhere but to this process.
  for (const char* name : {"GTEST_OUTPUT", "GTEST_SHARD_INDEX", "GTEST_TOTAL_SHARDS", "GTEST_SHARD_STATUS_FILE"})
    env.remove(QLatin1String(name));
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::MergedChannels);
  const QString test = QLatin1String(info->test_suite_name()) + QLatin1Char('.') + QLatin1String(info->name());
  child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=") + test});
  const bool finished = child.waitForFinished(120000);
  if (!finished) child.kill();
  const QString output = QString::fromLocal8Bit(child.readAll());
  EXPECT_TRUE(finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 &&
              output.contains(QStringLiteral("[  PASSED  ] 1 test.")))
      << output.toStdString();
  return false;
}
