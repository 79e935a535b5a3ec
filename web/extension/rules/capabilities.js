// What a site may be allowed to do, one consent per origin and capability, and
// how the consent window and the options page name each one.

export const CAPABILITIES = Object.freeze({
  'login': {
    modes: ['01'],
    label: {ja: 'ログイン', en: 'Log-in'},
    ja: 'マイナンバーカードの利用者証明用電子証明書で、このサイトにログインできるようになります。',
    en: 'The site may log you in with the user certificate of your My Number card.',
  },
  'sign': {
    modes: ['02', '07', '11', '12'],
    label: {ja: '電子署名', en: 'Signing'},
    ja: 'このサイトが送る文書に、マイナンバーカードの署名用電子証明書、政府認証基盤などの IC カードや証明書ファイルで電子署名できるようになります。署名用電子証明書に記録された氏名・住所・生年月日・性別もこのサイトに渡ります。',
    en: 'The site may have you sign its documents with your My Number card\'s signature certificate, another IC card or a certificate file. The signature certificate, with your name, address, birth date and sex, goes to the site.',
  },
  'personal-data': {
    modes: ['03', '04'],
    label: {ja: '券面事項の読み取り', en: 'Reading personal data'},
    ja: 'カードに記録された氏名・住所・生年月日・性別と、個人番号（マイナンバー）を読み取って、このサイトに渡せるようになります。',
    en: 'The site may read your name, address, birth date, sex and individual number (My Number) from the card.',
    // What one request of the mode reads beyond the rest, said in the window that asks for it.
    modeNotes: {'03': {ja: 'この要求は個人番号（マイナンバー）も読み取ります。', en: 'This request also reads your individual number.'}},
  },
  'password': {
    modes: ['06', '13'],
    label: {ja: 'パスワード変更', en: 'Password change'},
    ja: 'マイナンバーカードや政府認証基盤の IC カードのパスワードを変更する画面を、このサイトから開けるようになります。',
    en: 'The site may open the screens that change the passwords of your My Number card or GPKI card.',
  },
});

export const CAPABILITY_NAMES = Object.freeze(Object.keys(CAPABILITIES));

// The capability a request mode uses, or undefined for a mode no page may send.
export function capabilityOfMode(mode) {
  return CAPABILITY_NAMES.find((name) => CAPABILITIES[name].modes.includes(mode));
}
