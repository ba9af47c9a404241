#pragma once
// QVPictureSaveJob: the editor's supersampled save. The engine keeps one live
// node graph per process, the editor's, so the picture is rendered by the
// command line in a child process, `PROGRAM render - -o FILE --supersample N
// --quiet`, fed the project text on its standard input. The file is then the
// command line's bit for bit (a PNG carries the project), the command line's
// atomic replace keeps the old file on any failure, and the editor stays free
// to edit meanwhile. QProcess reports through the UI thread's event loop, so
// nothing blocks and no thread of ours is involved. Owned by TForm1; UI
// thread only.
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QProcess;

class QVPictureSaveJob {
 public:
  /// Receives "" on success, else why the file was not written.
  using DoneFunction = std::function<void(const std::string& error)>;

  QVPictureSaveJob();
  /// Stops a running save (see Stop).
  ~QVPictureSaveJob();
  QVPictureSaveJob(const QVPictureSaveJob&) = delete;
  QVPictureSaveJob& operator=(const QVPictureSaveJob&) = delete;

  /// Starts program rendering projectText with n x n samples per pixel into
  /// path; done runs on the UI thread when the save ended (never from Start
  /// itself, nor after Stop). Requires !Running().
  void Start(const std::string& program, const std::string& projectText, const std::string& path,
             int n, DoneFunction done);
  /// True from Start until done has been called.
  bool Running() const { return process_ != nullptr; }
  /// Ends a running save without calling done: the child gets SIGTERM (the
  /// command line then stops within a row and removes its temporary file) and
  /// is waited for, and killed if it has not ended within 10 s.
  void Stop();

 private:
  void Finish(const std::string& error);

  std::unique_ptr<QProcess> process_;
  DoneFunction done_;
};

namespace qv {

/// The command line's arguments that render standard input's project into
/// path with n x n samples per pixel (a path that begins with '-' is given as
/// "./" + path).
std::vector<std::string> SaveRenderArguments(const std::string& path, int n);

/// Why a render process failed: its standard error without the trailing line
/// end, else what its end says (a crash, an exit code).
std::string SaveRenderFailure(bool crashed, int exitCode, const std::string& standardError);

}  // namespace qv
