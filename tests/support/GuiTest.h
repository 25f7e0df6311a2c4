#pragma once
// What every GUI test needs: one QApplication for the test program (offscreen platform).

namespace qel::test {

void EnsureApplication();

} // namespace qel::test
