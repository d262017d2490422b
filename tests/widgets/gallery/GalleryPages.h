#pragma once

// The gallery's pages: each widget issue adds one, a function that builds a window.

#include <QString>
#include <functional>
#include <map>

class QWidget;

using GalleryPage = std::function<QWidget*()>;

// Page name -> builder, sorted by name.
const std::map<QString, GalleryPage>& galleryPages();

QWidget* makeIconViewPage();
QWidget* makePaintKitPage();
QWidget* makeViewSourcePage();
QWidget* makeStacksListsPage();
QWidget* makeControlsPage();
QWidget* makeColourPage();

// The paint-kit page's palette, glossy fills, badges, formatter fields and artwork.
QWidget* makePaintKitArtwork();
