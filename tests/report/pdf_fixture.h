#pragma once

#include <gtest/gtest.h>
#include <jpeglib.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/exception.h"
#include "support/message_of.h"

// Helpers of the report tests: pictures made at test time, the written file's bytes, and the
// two outside checkers (qpdf for structure, pdftotext for the text a viewer finds).
namespace quenta::testing {

// A small JPEG made with libjpeg: components 3 gives an RGB picture, 1 a grayscale one.
inline std::string MakeJpeg(int width, int height, int components) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = components;
  cinfo.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
  jpeg_set_defaults(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(static_cast<std::size_t>(width * components));
  while (cinfo.next_scanline < cinfo.image_height) {
    for (std::size_t i = 0; i < row.size(); ++i)
      row[i] = static_cast<unsigned char>((i * 37 + cinfo.next_scanline * 11) % 256);
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&cinfo, &r, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string out(reinterpret_cast<const char*>(buffer), size);
  std::free(buffer);
  return out;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Output of a shell command together with its exit status.
struct CommandResult {
  int status = -1;
  std::string output;
};

inline CommandResult Run(const std::string& command) {
  CommandResult r;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf{};
  std::size_t n = 0;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.output.append(buf.data(), n);
  r.status = pclose(p);
  return r;
}

// qpdf's verdict: exit status 0 means no errors and no warnings.
inline void ExpectQpdfClean(const std::filesystem::path& file) {
  const CommandResult r = Run("qpdf --check '" + file.string() + "'");
  EXPECT_EQ(r.status, 0) << r.output;
}

inline std::string PdfText(const std::filesystem::path& file) {
  return Run("pdftotext -layout '" + file.string() + "' -").output;
}

}  // namespace quenta::testing
