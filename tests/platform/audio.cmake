kx_test(tst_soundio SOURCES ${KX_TEST_DIR}/tst_soundio.cpp LIBS kx_platform LOCK audio)
