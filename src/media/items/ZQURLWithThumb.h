#pragma once

// A file with the thumbnail a media library service made of it; the thumbnail URL is empty for
// a plain file, whose item makes its own.

#include <QUrl>

struct ZQURLWithThumb {
    QUrl url;
    QUrl thumbnailURL;
};
