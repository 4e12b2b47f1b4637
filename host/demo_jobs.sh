# The demo job of each category as kado-host run actions (sourced by
# run_main.sh and the host tests): demo_job INDEX fills the array "job".
demo_job() {
  case "$1" in
    0) job=('set mskAGPo=12' 'set mskAGP=3' 'set mskBoden=250') ;;
    1) job=('set txtGebäude=Wohnhaus mit Garage' 'set mskAnzahl=12' 'set mskBaukosten=150000' 'click chkBereich') ;;
    2) job=('set grdAusFlur=Flur 7, Flurstück 12' 'set mskAusFlur=1' 'set mskFlurstücke=4' 'set mskGP=6'
            'set mskAGP=6') ;;
    3) job=('set mskAusFlur=2' 'set mskGesamt=3' 'set mskGP=5' 'set mskAGP=4' 'set mskBoden=250') ;;
    4) job=('set grdAusFlur=Flur 3, Flurstück 112' 'set mskAusFlur=2' 'set mskGesamt=3' 'set mskGP=4'
            'set mskAGP=4' 'set mskBoden=200') ;;
    *) return 1 ;;
  esac
}
