kx_test(tst_profilintensite SOURCES ${KX_TEST_DIR}/tst_profilintensite.cpp LIBS kx_signal)
kx_test(tst_optiqueform SOURCES ${KX_TEST_DIR}/tst_optiqueform.cpp ${KX_TEST_DIR}/CameraFactice.h
        LIBS kx_signal kx_testhost)
kx_test(tst_optique_bout SOURCES ${KX_TEST_DIR}/tst_optique_bout.cpp ${KX_TEST_DIR}/CameraFactice.h
        LIBS kx_signal kx_testhost LOCK tabulo)
target_compile_definitions(tst_optique_bout PRIVATE KX_TABULO_PATH="$<TARGET_FILE:tabulo>")
add_dependencies(tst_optique_bout tabulo)
