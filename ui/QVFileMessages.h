#pragma once
// The editor's words for files that cannot be loaded or saved: Japanese,
// naming the file, built from what the source layer reports as data (its
// problem codes, line and column), never by translating its English. Plain
// functions; any thread.
#include <string>

#include "engine/QVMain.h"

namespace qv {

class ProjectFileError;
struct PictureWriteFailure;
struct ReadResult;

/// A project file (or a project text) that could not be read: "「FILE」を読み
/// 込めませんでした。何も変更していません。" and the reason.
std::string LoadFailureText(const std::string& path, const ProjectFileError& error);
/// A text that did not read, at its line and column; fileName empty: the
/// source page's text.
std::string ReadFailureText(const std::string& fileName, const ReadResult& result);
/// A load that failed for reason (already worded).
std::string LoadFailureText(const std::string& path, const std::string& reason);
/// A save that failed for reason; "前のファイルはそのままです" only when
/// there was a file before.
std::string SaveFailureText(const std::string& path, bool hadFile, const std::string& reason);
/// A project save that failed, worded from its problem.
std::string SaveFailureText(const std::string& path, bool hadFile, const ProjectFileError& error);
/// A picture save that failed, worded from the stage that failed and its
/// details (the system's refusal, the encoder's message).
std::string PictureSaveFailureText(const std::string& path, bool hadFile,
                                   const PictureWriteFailure& failure);
/// A render that failed; a picture too large for the memory is told with its
/// size and the memory it needs and has.
std::string RenderFailureText(const QVMain::RenderFailure& failure);

}  // namespace qv
