// Anchor object: the core library bundles the area libraries it links.
namespace tellvane {
int CoreLibraryAnchor() { return 0; }
}  // namespace tellvane
