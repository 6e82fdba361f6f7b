kx_test(tst_grapheu SOURCES ${KX_TEST_DIR}/tst_grapheu.cpp LIBS kx_signal)
kx_test(tst_lecturewav SOURCES ${KX_TEST_DIR}/tst_lecturewav.cpp LIBS kx_signal)
kx_test(tst_mp3decoder SOURCES ${KX_TEST_DIR}/tst_mp3decoder.cpp LIBS kx_signal)
kx_test(tst_fft SOURCES ${KX_TEST_DIR}/tst_fft.cpp LIBS kx_signal)
