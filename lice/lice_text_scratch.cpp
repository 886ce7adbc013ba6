#include "lice/lice_text_scratch.h"

#include <type_traits>

namespace {

struct Scratch {
  std::recursive_mutex lock;
  int users = 0;
  LICE_SysBitmap* glyphs = nullptr;
  LICE_SysBitmap* native = nullptr;
};
// Constant-initialised with nothing to destroy: fonts freed by the module's
// static destructors still give their use back, in whatever order those
// run, and the bitmaps go with the last user.
static_assert(std::is_trivially_destructible<Scratch>::value, "the scratch must outlive every font");
Scratch gScratch;

Scratch& Shared() { return gScratch; }

LICE_SysBitmap* AtLeast(LICE_SysBitmap*& bm, int w, int h) {
  if (!bm) bm = new LICE_SysBitmap();
  const int nw = bm->getWidth() > w ? bm->getWidth() : w;
  const int nh = bm->getHeight() > h ? bm->getHeight() : h;
  bm->resize(nw, nh);
  return bm->getWidth() >= w && bm->getHeight() >= h && bm->getDC() ? bm : nullptr;
}

}  // namespace

void LICE_TextScratch::AddUser() {
  std::lock_guard<std::recursive_mutex> guard(Shared().lock);
  ++Shared().users;
}

void LICE_TextScratch::RemoveUser() {
  Scratch& s = Shared();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  if (--s.users > 0) return;
  delete s.glyphs;
  delete s.native;
  s.glyphs = nullptr;
  s.native = nullptr;
}

std::recursive_mutex& LICE_TextScratch::Lock() { return Shared().lock; }

LICE_SysBitmap* LICE_TextScratch::Glyphs(int w, int h) { return AtLeast(Shared().glyphs, w, h); }

LICE_SysBitmap* LICE_TextScratch::Native(int w, int h) { return AtLeast(Shared().native, w, h); }
