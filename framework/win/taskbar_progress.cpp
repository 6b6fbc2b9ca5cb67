#include "framework/win/taskbar_progress.h"

namespace fw {

TTaskbarProgress::TTaskbarProgress(HWND button, TComPtr<ITaskbarList3> taskbar)
    : button_(button), taskbar_(std::move(taskbar)) {
  if (!taskbar_ && FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                             reinterpret_cast<void**>(taskbar_.Out()))))
    return;
  // The list must be initialised before any other of its methods is called.
  if (taskbar_ && FAILED(taskbar_->HrInit())) taskbar_.Reset();
}

TTaskbarProgress::~TTaskbarProgress() {
  if (taskbar_ && state_ != TBPF_NOPROGRESS) taskbar_->SetProgressState(button_, TBPF_NOPROGRESS);
}

void TTaskbarProgress::Set(unsigned long long done, unsigned long long total) {
  if (!taskbar_ || !button_) return;
  if (state_ != TBPF_NORMAL) {
    state_ = TBPF_NORMAL;
    taskbar_->SetProgressState(button_, TBPF_NORMAL);
  }
  taskbar_->SetProgressValue(button_, done, total ? total : 1);
}

void TTaskbarProgress::Stopped() {
  if (!taskbar_ || !button_) return;
  state_ = TBPF_ERROR;
  taskbar_->SetProgressState(button_, TBPF_ERROR);
}

}  // namespace fw
