#include "support/RecordingUi.h"

TMsgResult RecordingUi::MessageBox(const std::string& text, const std::string& caption, TMsgKind kind,
                                   TMsgButtons buttons) {
  Messages.push_back(text);
  if (Desktop) return Desktop->MessageBox(text, caption, kind, buttons);
  if (MessageAnswers.empty()) return TMsgResult::Ok;
  const TMsgResult answer = MessageAnswers.front();
  MessageAnswers.pop_front();
  return answer;
}

void RecordingUi::ShowMessage(const std::string& text) {
  Messages.push_back(text);
  if (Desktop) Desktop->ShowMessage(text);
}

int RecordingUi::RunModal(TForm& form) {
  ModalRuns.push_back(form.objectName().toStdString());
  form.ModalResult = 0;
  form.Show();
  auto script = OnModal.find(form.objectName().toStdString());
  if (script != OnModal.end() && script->second) script->second(form);
  if (form.Visible()) form.Close();
  return form.ModalResult;
}

namespace {
bool Take(std::deque<std::string>& answers, std::string& path) {
  if (answers.empty()) return false;
  path = answers.front();
  answers.pop_front();
  return !path.empty();
}
}  // namespace

bool RecordingUi::AskSavePath(const TFileDialogOptions& options, std::string& path) {
  FileDialogs.push_back(options);
  return Take(SavePaths, path);
}

bool RecordingUi::AskOpenPath(const TFileDialogOptions& options, std::string& path) {
  FileDialogs.push_back(options);
  return Take(OpenPaths, path);
}
