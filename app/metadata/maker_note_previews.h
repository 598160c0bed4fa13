// The previews cameras keep in the maker note of their TIFF-based RAW files (the EXIF
// directory's MakerNote), each maker's note read after its own published layout: where its
// directory starts, its byte order, what its offsets count from and which tags hold the
// preview. Part of FindRawPreviews (raw_previews.h); platform-free.
#pragma once

#include <string_view>

#include "app/metadata/image_metadata.h"
#include "app/metadata/tiff_entries.h"

struct MakerNote {
    ByteRange bytes;         // the MakerNote entry's values (a read past the file fails)
    bool tiffLittle = true;  // the byte order of the TIFF structure around it
    uint64_t tiffBase = 0;   // the file offset of that structure's header
    std::string_view make;   // IFD0's Make: some makers' notes have no header of their own
};

// Gives `found` the place of each preview the note holds; nothing for a note it does not
// recognise. Each note is read as one maker's: its header's, else its Make's.
void ReadMakerNotePreviews(ByteSource& source, const MakerNote& note, const JpegFound& found);
