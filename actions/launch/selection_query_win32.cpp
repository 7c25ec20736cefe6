#include "actions/launch/selection_query.h"

#include <windows.h>
#include <wrl/client.h>

#include <atomic>

#include "actions/launch/ui_automation.h"
#include "framework/com_apartment.h"
#include "framework/handles.h"

using Microsoft::WRL::ComPtr;
using namespace ui_automation;

struct SelectionQuery::State {
  std::atomic<bool> answered{false};
  std::atomic<Selection> selection{Selection::Unknown};
};

namespace {

// Set while a question runs: a program that hangs its answer holds one thread, not one a press.
std::atomic<bool> questionOpen{false};

// The focused element's selection: a range with at least one character, or none.
Selection FocusedSelection(IUIAutomation* automation) {
  ComPtr<IUIAutomationElement> focused;
  ComPtr<IUIAutomationTextPattern> text;
  ComPtr<IUIAutomationTextRangeArray> ranges;
  int count = 0;
  if (FAILED(automation->GetFocusedElement(&focused)) || !focused ||
      FAILED(focused->GetCurrentPatternAs(kTextPatternId, IID_PPV_ARGS(&text))) || !text ||
      FAILED(text->GetSelection(&ranges)) || !ranges || FAILED(ranges->get_Length(&count))) {
    return Selection::Unknown;
  }
  for (int i = 0; i < count; ++i) {
    ComPtr<IUIAutomationTextRange> range;
    BSTR first = nullptr;
    // One character tells; a large selection is not carried over for nothing.
    const bool read =
        SUCCEEDED(ranges->GetElement(i, &range)) && range && SUCCEEDED(range->GetText(1, &first));
    const bool some = read && SysStringLen(first) > 0;
    SysFreeString(first);
    if (!read) return Selection::Unknown;
    if (some) return Selection::NonEmpty;
  }
  return Selection::Empty;
}

Selection AskFocusedElement() {
  ComPtr<IUIAutomation> automation;
  if (FAILED(CoCreateInstance(kClientClass, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&automation)))) {
    return Selection::Unknown;
  }
  // Where the system has them, its own time limits end the calls soon after ours.
  ComPtr<IUIAutomation2> limited;
  if (SUCCEEDED(automation.As(&limited))) {
    limited->put_ConnectionTimeout(kSelectionQueryMs);
    limited->put_TransactionTimeout(kSelectionQueryMs);
  }
  return FocusedSelection(automation.Get());
}

DWORD WINAPI Ask(void* parameter) {
  std::unique_ptr<std::shared_ptr<SelectionQuery::State>> state(
      static_cast<std::shared_ptr<SelectionQuery::State>*>(parameter));
  Selection selection = Selection::Unknown;
  {
    ComApartment com(COINIT_MULTITHREADED);
    selection = AskFocusedElement();
  }
  (*state)->selection = selection;
  (*state)->answered = true;
  questionOpen = false;
  return 0;
}

}  // namespace

SelectionQuery::SelectionQuery() : state_(std::make_shared<State>()) {
  if (questionOpen.exchange(true)) {
    state_->answered = true;
    return;
  }
  auto* shared = new std::shared_ptr<State>(state_);
  UniqueHandle thread(CreateThread(nullptr, 0, Ask, shared, 0, nullptr));
  if (!thread) {
    delete shared;
    questionOpen = false;
    state_->answered = true;
  }
}

bool SelectionQuery::Answered() const { return state_->answered; }

Selection SelectionQuery::Answer() const {
  return state_->answered ? state_->selection.load() : Selection::Unknown;
}
