kx_test(tst_aviform SOURCES ${KX_TEST_DIR}/tst_aviform.cpp ${KX_TEST_DIR}/ClipsTest.h LIBS kx_video kx_testhost)
kx_test(tst_avi_bout SOURCES ${KX_TEST_DIR}/tst_avi_bout.cpp ${KX_TEST_DIR}/ClipsTest.h LIBS kx_video kx_testhost
        LOCK tabulo)
target_compile_definitions(tst_avi_bout PRIVATE KX_TABULO_PATH="$<TARGET_FILE:tabulo>")
add_dependencies(tst_avi_bout tabulo)
target_compile_definitions(tst_aviform PRIVATE KX_SAMPLE_VIDEO="${CMAKE_BINARY_DIR}/share/kinexo/exemples/balle-lancee.avi")
add_dependencies(tst_aviform samples_video)
