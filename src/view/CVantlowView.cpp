#include "view/CVantlowView.h"

#include "app/CVantlowApp.h"

namespace qen {

CVantlowView::CVantlowView(CVantlowApp& app) : app_(app) {}

bool CVantlowView::OnBeforeNavigate(const std::string&) {
    return false;
}

void CVantlowView::OnTimer(int) {}

void CVantlowView::OnMenuCommand(int) {}

}  // namespace qen
