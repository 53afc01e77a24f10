#include "ui/frm_main.h"

#include <utility>

#include "dirtree/crt_dtree.h"
#include "platform/keep_alive.h"

frmMain::frmMain(std::unique_ptr<platform::FrontEnd> front_end) : front_end_(std::move(front_end)) {
  // The handler runs nested inside a status write or a message box, on this
  // thread; it only sets the flag, so that nesting is safe wherever it lands.
  front_end_->SetCancelHandler([this] { cmdCancel_Click(); });
  // A walk through folders without files, or the copy of a large document,
  // writes no status line for a long time; the window handles its events in
  // between all the same. A click taken there only raises the flag, which
  // the search still reads at the next file it shows.
  platform::SetKeepAlive([this] { front_end_->ProcessPendingEvents(); });
}

frmMain::~frmMain() {
  platform::SetKeepAlive(nullptr);
}

void frmMain::ShowMessage(const std::string& text) {
  front_end_->SetStatusText(platform::StatusLine::kMessage, text);
  front_end_->ProcessPendingEvents();
}

void frmMain::ShowMessage2(const std::string& text) {
  front_end_->SetStatusText(platform::StatusLine::kMessage2, text);
  front_end_->ProcessPendingEvents();
}

void frmMain::cmdCancel_Click() {
  CancelRequested = true;
}

void frmMain::Unload() {
  front_end_->Unload();
}

platform::FileSystemObject& frmMain::FileSystem() {
  if (!file_system_) file_system_ = platform::CreateFileSystemObject();
  return *file_system_;
}

crtDTree& frmMain::SearchTree() {
  if (!search_tree_) search_tree_ = std::make_unique<crtDTree>();
  return *search_tree_;
}
