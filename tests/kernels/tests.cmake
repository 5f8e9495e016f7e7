add_kq_test(kernels BayesFactorOneSampleTT LABELS unit reference)
add_kq_test(kernels JzsLogBf01)
