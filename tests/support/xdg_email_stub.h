// A stand-in for a program the program hands files to (xdg-email, lp), put
// first on PATH for the life of the object: it records its arguments, copies
// the file it is given and ends with the exit status the test chooses.
// Like the real xdg-email, it refuses an option whose text is empty (status
// 1, "argument missing").
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

namespace tessel::uitest {

class ProgramStub {
 public:
  // The file is the argument after `fileOption`. `present` false: a PATH
  // that holds no such program at all.
  ProgramStub(const char* program, const char* fileOption, bool present = true)
      : oldPath_(qgetenv("PATH")) {
    EXPECT_TRUE(dir_.isValid());
    if (present) {
      QFile script(dir_.filePath(QString::fromLatin1(program)));
      EXPECT_TRUE(script.open(QIODevice::WriteOnly));
      script.write(QByteArray(
          "#!/bin/sh\n"
          "here=$(dirname \"$0\")\n"
          "check() {\n"
          "  while [ $# -gt 0 ]; do\n"
          "    case \"$1\" in --subject|--body|--attach|--to|--cc|--bcc)\n"
          "      [ -n \"$2\" ] || { echo \"xdg-email: argument missing for $1\" >&2; exit 1; }\n"
          "      shift;;\n"
          "    esac\n"
          "    shift\n"
          "  done\n"
          "}\n"
          "check \"$@\"\n"
          "prev=\n"
          "for a in \"$@\"; do\n"
          "  printf '%s\\000' \"$a\" >> \"$here/args\"\n"
          "  if [ \"$prev\" = ") + fileOption + QByteArray(" ]; then cp \"$a\" \"$here/attachment\"; fi\n"
          "  prev=$a\n"
          "done\n"
          "printf '\\001\\000' >> \"$here/args\"\n"
          "exit $(cat \"$here/status\" 2>/dev/null || echo 0)\n"));
      script.close();
      script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // Nothing but the stub and the few tools it uses, so the real program
    // is never found.
    for (const char* tool : {"dirname", "cp", "cat"}) {
      const QString found = QStandardPaths::findExecutable(QString::fromLatin1(tool));
      EXPECT_TRUE(QFile::link(found, dir_.filePath(QString::fromLatin1(tool)))) << tool;
    }
    qputenv("PATH", dir_.path().toLocal8Bit());
  }
  ~ProgramStub() { qputenv("PATH", oldPath_); }

  void SetExitStatus(int status) {
    QFile f(dir_.filePath("status"));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::number(status));
  }
  // Each call's arguments, one call after another.
  std::vector<QStringList> Calls() const {
    std::vector<QStringList> calls;
    QFile f(dir_.filePath("args"));
    if (!f.open(QIODevice::ReadOnly)) return calls;
    QStringList current;
    QByteArray all = f.readAll();
    all.chop(1);  // the NUL after the last item
    for (const QByteArray& line : all.split('\0')) {
      if (line == "\x01") {
        calls.push_back(current);
        current.clear();
      } else {
        current << QString::fromUtf8(line);
      }
    }
    return calls;
  }
  // The bytes of the last file handed over, as the stub copied them.
  QByteArray Attachment() const {
    QFile f(dir_.filePath("attachment"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

 private:
  QTemporaryDir dir_;
  QByteArray oldPath_;
};

class XdgEmailStub : public ProgramStub {
 public:
  explicit XdgEmailStub(bool present = true) : ProgramStub("xdg-email", "--attach", present) {}
};

}  // namespace tessel::uitest
