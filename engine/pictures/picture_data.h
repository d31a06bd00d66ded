// The "Picture.Data" block of a picture item: a short text naming the picture format, then that
// format's data. "TDIB" is followed by a packed DIB (nothing at all: an empty picture), "TBitmap"
// by a 32-bit length and a whole bitmap file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/pictures/dib_reader.h"
#include "engine/pictures/picture.h"
#include "engine/pictures/picture_source.h"

// The picture, or none when the format is one this game does not know (the item then has no
// patterns and draws nothing). Malformed data, or a picture larger than what is left of `budget`,
// fails with the readers' errors.
std::optional<TPicture> ReadPictureData(std::span<const uint8_t> data, PixelBudget& budget);
std::optional<TPicture> ReadPictureData(std::span<const uint8_t> data);
// ReadPictureData for the `size` bytes of `source` from `offset`: a large packed DIB is read a few
// rows at a time straight into its picture, never held whole beside it.
std::optional<TPicture> ReadPictureDataFrom(TPictureSource& source, uint64_t offset, uint64_t size,
                                            PixelBudget& budget);
// What ReadPictureData would give, only its size: the same checks and errors, the same share of
// `budget`, no pixels.
std::optional<TPictureShape> CheckPictureData(std::span<const uint8_t> data, PixelBudget& budget);

std::vector<uint8_t> WriteDibPictureData(const TPicture& picture);
std::vector<uint8_t> WriteBitmapPictureData(const TPicture& picture);
