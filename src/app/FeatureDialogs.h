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

// One object that shows them all: the toolkit's side, or a test's scripted fake.
class EveryFeatureDialog : public TermsDialog,
                           public BackupDialog,
                           public LatestVideosDialog,
                           public NoteDialogs,
                           public ZoomDialog,
                           public AddressDialog {
public:
    FeatureDialogs Dialogs() { return {*this, *this, *this, *this, *this, *this}; }
};

}  // namespace qen
