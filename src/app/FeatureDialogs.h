#pragma once
// The dialogs the features declare, as one program's toolkit (or a test's fake) shows them.
// A new dialog is declared beside its feature and handed in here.
#include "app/BackupDialog.h"
#include "app/TermsDialog.h"
#include "notes/NoteDialogs.h"
#include "videos/LatestVideosDialog.h"
#include "view/ZoomDialog.h"
#include "web/AddressDialog.h"

namespace qen {

struct FeatureDialogs {
    TermsDialog& terms;
    BackupDialog& backup;
    LatestVideosDialog& latestVideos;
    NoteDialogs& notes;
    ZoomDialog& zoom;
    AddressDialog& address;
};

}  // namespace qen
