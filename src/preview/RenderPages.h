#pragma once
// Turns every page of a document into a picture for the preview, through a second, private
// engine application.

#include "MousePointer.h"

#include <QString>
#include <functional>

class Form2;

namespace word {
class ApplicationFactory;
}

// Opens the document at `path`, and for each page copies what is left of the document as a
// picture, removes the first page, and passes the picture through "temp.bmp" in the temporary
// folder into the preview's next page picture, adding "Page " and the number to its list;
// the text the clipboard holds beside the picture goes with it, for assistive tools.
// `preview` gives the preview window, loading it at the first call; `setEntryPointer` sets the
// entry window's pointer. `stopped`, asked after each page, ends the rendering early (the
// engine still closes the document and quits). Not trapped: a failure ends the rendering and
// goes to the caller.
void RenderPages(word::ApplicationFactory& engine, const QString& path,
                 const std::function<Form2&()>& preview,
                 const std::function<void(MousePointer)>& setEntryPointer,
                 const std::function<bool()>& stopped = {});

// The picture file's path: the temporary folder followed by "/temp.bmp".
QString temporaryPicturePath();
