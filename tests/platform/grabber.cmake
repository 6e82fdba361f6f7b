kx_test(tst_videograbber SOURCES ${KX_TEST_DIR}/tst_videograbber.cpp LIBS kx_platform)
target_include_directories(tst_videograbber PRIVATE ${KX_TEST_DIR}/../video)
