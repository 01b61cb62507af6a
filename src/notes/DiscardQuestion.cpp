#include "notes/DiscardQuestion.h"

namespace qen {

bool MayDiscardChanges(Ui& ui, bool changed) {
    return !changed ||
           ui.ShowMessage("Discard the changes you made?", Icon::Question, Buttons::YesNo) == Answer::Yes;
}

}  // namespace qen
